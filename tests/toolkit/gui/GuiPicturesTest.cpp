// Pictures drawn from the resource catalogue: picture buttons, the logo, the icon, the picture box.
#include "QtBitmapPainter.h"
#include "QtImageCache.h"
#include "TestForm.h"
#include "WBitmap.h"
#include "WIcon.h"
#include "WToolTip.h"

#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

using namespace TestIds;

// Mean brightness and colourfulness of a picture.
struct Tone {
    double lightness = 0;
    double saturation = 0;
};

Tone toneOf(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    Tone tone;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            tone.lightness += c.lightnessF();
            tone.saturation += c.hslSaturationF();
        }
    }
    const double n = static_cast<double>(image.width()) * image.height();
    return {tone.lightness / n, tone.saturation / n};
}

class GuiPictures : public ::testing::Test {
protected:
    InstalledTestCatalog catalog;
};

TEST_F(GuiPictures, ButtonsHaveTheirSizeAndAVisiblyPressedAndAGreyedLook) {
    const QPixmap normal = QtImageCache::bitmap(normalBitmap);
    const QPixmap pressed = QtImageCache::bitmap(pressedBitmap);
    const QPixmap inactive = QtImageCache::bitmap(inactiveBitmap);
    for (const QPixmap& p : {normal, pressed, inactive})
        EXPECT_EQ(p.size(), QSize(76, 34));
    EXPECT_LT(toneOf(pressed).lightness, toneOf(normal).lightness - 0.05) << "pressed is darker";
    EXPECT_LT(toneOf(inactive).saturation, toneOf(normal).saturation) << "inactive is greyer";
    EXPECT_NE(normal.toImage(), pressed.toImage());
}

TEST_F(GuiPictures, TheCaptionIsPaintedIntoThePicture) {
    WBitmapTemplate withCaption{1, 76, 34, "Quelle >>", WBitmapLook::Normal};
    WBitmapTemplate without{2, 76, 34, "", WBitmapLook::Normal};
    EXPECT_NE(QtBitmapPainter::paint(withCaption).toImage(), QtBitmapPainter::paint(without).toImage());
}

TEST_F(GuiPictures, TreePicturesShowAFolderAndAFile) {
    const QImage folder = QtBitmapPainter::paint({1, 16, 16, "", WBitmapLook::Folder}).toImage();
    const QImage file = QtBitmapPainter::paint({2, 16, 16, "", WBitmapLook::File}).toImage();
    EXPECT_EQ(folder.size(), QSize(16, 16));
    EXPECT_NE(folder, file);
    const auto opaque = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qAlpha(image.pixel(x, y)) > 0;
        return n;
    };
    EXPECT_GT(opaque(folder), 16) << "something is drawn";
}

TEST_F(GuiPictures, TheLogoAndTheIconAreDrawn) {
    const QPixmap drawn = QtImageCache::bitmap(logo);
    EXPECT_EQ(drawn.size(), QSize(173, 84));
    EXPECT_GT(toneOf(drawn).saturation, 0.05) << "the logo has its colour";
    const QIcon icon = QtImageCache::icon(TestIds::icon);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).size(), QSize(32, 32));
    EXPECT_TRUE(QtImageCache::icon(4711).isNull());
}

TEST_F(GuiPictures, PicturesAreDrawnOnceAndForgottenWithTheirCatalogue) {
    const qint64 first = QtImageCache::bitmap(normalBitmap).cacheKey();
    EXPECT_EQ(QtImageCache::bitmap(normalBitmap).cacheKey(), first);
    EXPECT_TRUE(QtImageCache::bitmap(4711).isNull());
    EXPECT_EQ(QtImageCache::bitmap(treeImage, QSize(8, 8)).size(), QSize(8, 8));
    {
        InstalledTestCatalog another;
        EXPECT_NE(QtImageCache::bitmap(normalBitmap).cacheKey(), first);
    }
    WResources::install(nullptr);
    EXPECT_TRUE(QtImageCache::bitmap(normalBitmap).isNull()) << "no catalogue, no pictures";
}

TEST_F(GuiPictures, BitmapAndIconObjectsTellWhetherTheCatalogueHasThem) {
    const WBitmap bitmap(normalBitmap);
    EXPECT_TRUE(bitmap.isValid());
    EXPECT_EQ(bitmap.width(), 76);
    EXPECT_EQ(bitmap.height(), 34);
    EXPECT_FALSE(WBitmap(4711).isValid());
    EXPECT_TRUE(WIcon(TestIds::icon).isValid());
    EXPECT_FALSE(WIcon(normalBitmap + 1).isValid());
}

TEST_F(GuiPictures, APictureBoxShowsItsBitmapAtNaturalSizeInTheTopLeftCorner) {
    TestForm form;
    WPictureBox& box = *form.picture;
    EXPECT_EQ(box.bitmapId(), 0);
    EXPECT_TRUE(box.setBitmap(normalBitmap));
    EXPECT_EQ(box.bitmapId(), normalBitmap);
    auto* label = static_cast<QLabel*>(box.widget());
    EXPECT_EQ(label->pixmap().size(), QSize(76, 34));
    EXPECT_FALSE(label->hasScaledContents());
    EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_TRUE(box.setBitmap(WBitmap(pressedBitmap)));
    EXPECT_EQ(box.bitmapId(), pressedBitmap);
    EXPECT_FALSE(box.setBitmap(4711));
    EXPECT_EQ(box.bitmapId(), 0);
    EXPECT_TRUE(label->pixmap().isNull());
}

TEST_F(GuiPictures, TheToolTipShowsTheControlsTip) {
    TestForm form;
    form.showAndWait();
    EXPECT_EQ(WToolTip::text(*form.picture), "Quelle");
    WToolTip::setText(*form.picture, "Ziel >>");
    EXPECT_EQ(form.picture->tipText(), "Ziel >>");
    EXPECT_TRUE(WToolTip::show(*form.picture));
    EXPECT_FALSE(WToolTip::show(*form.labelCentered)) << "hidden";
    WToolTip::hide();
}

} // namespace
