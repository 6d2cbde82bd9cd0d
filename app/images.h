// The program's pictures, handed out by the number of the picture set (the "bitmap") a list or
// button names and the image's index in it, as lists and buttons ask for them. Every picture is
// one of our SVG files in the resources (resources/icons/zbq), rendered once at 16 and 32 pixels
// on a transparent ground, so a 16-pixel slot is crisp on ordinary and double-density screens.
//
// zbqImage gives a null QIcon for an index the set does not have (a list then shows no
// picture, as it shows none for an item type of -1); a picture set that several lists share
// gives every list the same QIcon, so a view's picture can be compared with the lookup's by its
// cache key. User-interface thread only (QIcon and QPixmap).
#pragma once

#include <QIcon>
#include <QSize>

namespace zbq {

enum ImageSet : int {
    kItemImages = 1000,      // by item type; 6 the data set, 8 a group, 10 the original-data
                             // window, 11 the aggregation window, 12 the cross-tab window
    kStateImages = 131,      // 1: the mark of a listed item and of the current set
    kSetImages = 150,        // 0: a set of the set tree
    kValueTypeImages = 164,  // by category value type 0-6; 7 a class node
    kClassMarks = 175,       // 0 plain, 1 an undefined member or a faulty row
    kPercentRankImage = 149,
    kNewSetImage = 165,
    kGraphImage = 166,
    kToXImage = 211,
    kToYImage = 212,
    kToSumImage = 213,
    kConsoleIcon = 142,
};

// The image `index` of the set; null when the set has no such image.
QIcon zbqImage(int set, int index = 0);
// How many indexes the set spans (some may be null); 0 for a set the program does not have.
int zbqImageCount(int set);
// The size each image of a set is drawn at: 16 x 16 for all of them.
QSize zbqImageSize(int set);

}  // namespace zbq
