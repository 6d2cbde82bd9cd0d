// Qt, the offscreen platform and the CJK fonts work on a fresh machine: Japanese text is covered
// by the font Qt resolves and renders to visible pixels.
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(JapaneseText, FontCoversEveryCharacterAndRenders) {
    const QString text = QString::fromUtf8("ｺﾝｿｰﾙ (Main Navigator)");
    QLabel label(text);
    label.setAutoFillBackground(true);
    QPalette pal = label.palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(pal);
    label.adjustSize();

    QFontMetrics metrics(label.font());
    for (char32_t ch : text.toUcs4())
        EXPECT_TRUE(metrics.inFontUcs4(ch)) << "no glyph for U+" << std::hex << unsigned(ch);

    QImage image = label.grab().toImage();
    ASSERT_FALSE(image.isNull());
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 50) << "the label rendered blank";
}
