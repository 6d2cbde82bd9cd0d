#include "app/images.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <map>
#include <span>
#include <string>
#include <utility>

namespace zbq {

namespace {

// Each set as the names of its files by index; an empty name leaves that index without a
// picture. Value types 1-6 are the item types' own pictures.
constexpr const char* kItemFiles[] = {
    "type-code",   "type-multians", "type-integer", "type-float", "type-string",
    "type-date",   "data-set",      "type-time",    "group",      "unknown",
    "window-data", "window-molap",  "window-cross"};
constexpr const char* kStateFiles[] = {"", "mark"};
constexpr const char* kSetFiles[] = {"set"};
constexpr const char* kValueTypeFiles[] = {"value-universal", "type-integer", "type-float",
                                           "type-date",       "type-time",    "type-string",
                                           "type-code",       "class"};
constexpr const char* kClassMarkFiles[] = {"class-plain", "fault"};
constexpr const char* kPercentFiles[] = {"percent"};
constexpr const char* kNewSetFiles[] = {"new-set"};
constexpr const char* kGraphFiles[] = {"graph"};
constexpr const char* kToXFiles[] = {"to-x"};
constexpr const char* kToYFiles[] = {"to-y"};
constexpr const char* kToSumFiles[] = {"to-sum"};
constexpr const char* kConsoleFiles[] = {"console"};

std::span<const char* const> filesOf(int set) {
    switch (set) {
        case kItemImages:
            return kItemFiles;
        case kStateImages:
            return kStateFiles;
        case kSetImages:
            return kSetFiles;
        case kValueTypeImages:
            return kValueTypeFiles;
        case kClassMarks:
            return kClassMarkFiles;
        case kPercentRankImage:
            return kPercentFiles;
        case kNewSetImage:
            return kNewSetFiles;
        case kGraphImage:
            return kGraphFiles;
        case kToXImage:
            return kToXFiles;
        case kToYImage:
            return kToYFiles;
        case kToSumImage:
            return kToSumFiles;
        case kConsoleIcon:
            return kConsoleFiles;
        default:
            return {};
    }
}

QPixmap render(QSvgRenderer& svg, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, side, side));
    painter.end();
    return QPixmap::fromImage(std::move(image));
}

// One QIcon per file, shared by every set that names it.
const QIcon& iconOf(const char* file) {
    static std::map<std::string, QIcon> icons;
    auto [it, fresh] = icons.try_emplace(file);
    if (fresh) {
        QSvgRenderer svg(QStringLiteral(":/icons/zbq/%1.svg").arg(QLatin1String(file)));
        if (svg.isValid()) {
            const int side = zbqImageSize(kItemImages).width();
            it->second.addPixmap(render(svg, side));
            it->second.addPixmap(render(svg, 2 * side));
        }
    }
    return it->second;
}

}  // namespace

QIcon zbqImage(int set, int index) {
    const std::span<const char* const> files = filesOf(set);
    if (index < 0 || static_cast<std::size_t>(index) >= files.size() || !*files[index]) return {};
    return iconOf(files[static_cast<std::size_t>(index)]);
}

int zbqImageCount(int set) {
    return static_cast<int>(filesOf(set).size());
}

QSize zbqImageSize(int) {
    return {16, 16};
}

}  // namespace zbq
