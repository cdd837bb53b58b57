// The skinned button: masks from the key colour, the choice of image, hover, captions and
// the loaders' failures.
#include "ui/BmpBtn.h"

#include "UiTestSupport.h"
#include "ui/ResourceLibrary.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using State = CBmpBtn::State;

QImage Row(std::initializer_list<QRgb> pixels)
{
    QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (QRgb p : pixels)
        image.setPixel(x++, 0, p);
    return image;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 200, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kNearRed = qRgb(254, 0, 0);

TEST(BmpBtnMask, KeyColourPixelsBecomeMaskedAndBlack)
{
    struct Case
    {
        const char* name;
        QImage image;
        COLORREF key;
        std::vector<int> mask;
        std::vector<QRgb> image_after;
    };
    const Case cases[] = {
        {"pure red only, with key 0x0000FF",
         Row({kRed, kGreen, kNearRed, kRed}),
         0x0000FF,
         {1, 0, 0, 1},
         {kBlack, kGreen, kNearRed, kBlack}},
        {"key 0 takes the top-left pixel's colour",
         Row({kBlue, kRed, kBlue, kGreen}),
         0,
         {1, 0, 1, 0},
         {kBlack, kRed, kBlack, kGreen}},
        {"key 0 with a red top-left pixel",
         Row({kRed, kBlue, kRed}),
         0,
         {1, 0, 1},
         {kBlack, kBlue, kBlack}},
        {"a key colour that is not there", Row({kBlue, kGreen}), 0x0000FF, {0, 0}, {kBlue, kGreen}},
        {"green key, as COLORREF 0x00C800", Row({kGreen, kRed}), 0x00C800, {1, 0}, {kBlack, kRed}},
    };
    for (const Case& c : cases) {
        const CBmpBtn::BitmapPair pair = CBmpBtn::BuildMask(c.image, c.key);
        ASSERT_EQ(pair.mask.width(), c.image.width()) << c.name;
        for (int x = 0; x < c.image.width(); ++x) {
            EXPECT_EQ(pair.mask.pixelIndex(x, 0), c.mask[x]) << c.name << " at " << x;
            EXPECT_EQ(pair.mask.pixel(x, 0), c.mask[x] ? qRgb(255, 255, 255) : kBlack) << c.name;
            EXPECT_EQ(pair.image.pixel(x, 0) | 0xFF000000, c.image_after[x])
                << c.name << " at " << x;
        }
    }
}

TEST(BmpBtnChoice, ImageFollowsTheStateInItsOrder)
{
    struct Case
    {
        const char* name;
        bool pinned;
        CBmpBtn::DrawState state;
        std::array<bool, 5> present; // normal, down, focus, off, over
        std::optional<State> expected;
    };
    const std::array<bool, 5> all{true, true, true, true, true};
    const std::array<bool, 5> noFocus{true, true, false, true, true};
    const std::array<bool, 5> onlyNormal{true, false, false, false, false};
    const Case cases[] = {
        {"idle", false, {}, all, State::Normal},
        {"pinned wins over everything", true, {true, true, true, true}, all, std::nullopt},
        {"focused", false, {false, false, true, false}, all, State::Focus},
        {"focused and pressed shows down", false, {true, false, true, false}, all, State::Down},
        {"focused and pressed without a down image stays on focus",
         false,
         {true, false, true, false},
         {true, false, true, true, true},
         State::Focus},
        {"focus without a focus image, pressed",
         false,
         {true, false, true, false},
         noFocus,
         State::Down},
        {"pressed", false, {true, false, false, false}, all, State::Down},
        {"pressed beats disabled and hover", false, {true, true, false, true}, all, State::Down},
        {"disabled", false, {false, true, false, false}, all, State::Off},
        {"disabled beats hover", false, {false, true, false, true}, all, State::Off},
        {"hover", false, {false, false, false, true}, all, State::Over},
        {"focus beats hover", false, {false, false, true, true}, all, State::Focus},
        {"missing states fall back to normal",
         false,
         {true, true, true, true},
         onlyNormal,
         State::Normal},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CBmpBtn::ChooseImage(c.pinned, c.state, c.present), c.expected) << c.name;
}

TEST(BmpBtnChoice, CaptionColourFollowsDisabledHoverFocus)
{
    CBmpBtn button;
    button.SetCaptionColours(1, 2, 3, 4); // normal, hover, disabled, focus
    struct Case
    {
        CBmpBtn::DrawState state;
        COLORREF expected;
    };
    const Case cases[] = {
        {{}, 1},
        {{false, false, false, true}, 2},
        {{false, true, false, true}, 3},
        {{false, false, true, false}, 4},
        {{false, false, true, true}, 2},
        {{true, false, false, false}, 1}, // pressed alone keeps the normal colour
    };
    for (const Case& c : cases)
        EXPECT_EQ(button.CaptionColour(c.state), c.expected);
}

/// Five single-colour states written as files, so that a drawing shows which one it took.
class BmpBtnDrawing : public ::testing::Test
{
protected:
    static constexpr QRgb kNormal = qRgb(10, 20, 30);
    static constexpr QRgb kDown = qRgb(40, 50, 60);
    static constexpr QRgb kFocus = qRgb(70, 80, 90);
    static constexpr QRgb kOff = qRgb(100, 110, 120);
    static constexpr QRgb kOver = qRgb(130, 140, 150);

    void SetUp() override
    {
        const std::pair<const char*, QRgb> files[] = {{"n.bmp", kNormal},
                                                      {"d.bmp", kDown},
                                                      {"f.bmp", kFocus},
                                                      {"o.bmp", kOff},
                                                      {"h.bmp", kOver}};
        for (const auto& [name, colour] : files) {
            QImage image(20, 10, QImage::Format_RGB32);
            image.fill(colour);
            image.setPixel(0, 0, kRed); // a key pixel in every state
            m_dir.saveBmp(name, image);
        }
        m_parent.resize(40, 20);
        m_parent.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(0, 255, 0));
        m_parent.setPalette(palette);
        m_button = new CBmpBtn(&m_parent);
        m_button->move(5, 5);
    }

    int load(const char* down, const char* focus, const char* off, const char* over)
    {
        const int result = m_button->LoadBitmapsFromFiles(m_dir.path(), "n.bmp", down, focus, off,
                                                          over, 1, 0x0000FF);
        m_button->resize(m_button->NormalSize());
        return result;
    }

    /// The colour in the middle of the button and at its key pixel, as the parent shows them.
    std::pair<QRgb, QRgb> drawn()
    {
        const QImage image = m_parent.grab().toImage();
        return {image.pixel(15, 10) | 0xFF000000, image.pixel(5, 5) | 0xFF000000};
    }

    void hover()
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_button, &move);
    }

    void leave()
    {
        QEvent leaveEvent(QEvent::Leave);
        QApplication::sendEvent(m_button, &leaveEvent);
    }

    uitest::TempProgramDir m_dir;
    QWidget m_parent;
    CBmpBtn* m_button = nullptr;
};

TEST_F(BmpBtnDrawing, DrawsTheChosenStateOverTheParentThroughTheMask)
{
    ASSERT_EQ(load("d.bmp", "f.bmp", "o.bmp", "h.bmp"), 1);
    EXPECT_EQ(m_button->size(), QSize(20, 10));
    EXPECT_EQ(drawn(), std::make_pair(kNormal, qRgb(0, 255, 0)));

    m_button->setDown(true);
    EXPECT_EQ(drawn().first, kDown);
    m_button->setDown(false);

    hover();
    EXPECT_TRUE(m_button->IsHover());
    EXPECT_EQ(drawn().first, kOver);
    leave();
    EXPECT_FALSE(m_button->IsHover());
    EXPECT_EQ(drawn().first, kNormal);

    m_button->setEnabled(false);
    EXPECT_EQ(drawn().first, kOff);
}

TEST_F(BmpBtnDrawing, APinnedButtonShowsThePinnedImageInEveryState)
{
    ASSERT_EQ(load("d.bmp", "f.bmp", "o.bmp", "h.bmp"), 1);
    m_button->SetPinned(m_button->Pair(State::Down));
    EXPECT_EQ(drawn().first, kDown);
    hover();
    EXPECT_EQ(drawn().first, kDown);
    m_button->setEnabled(false);
    EXPECT_EQ(drawn(), std::make_pair(kDown, qRgb(0, 255, 0)));
    // The caption colour still follows the state.
    m_button->SetCaptionColours(1, 2, 3, 4);
    EXPECT_EQ(m_button->CaptionColour(m_button->CurrentDrawState()), 3u);
    m_button->ClearPinned();
    EXPECT_EQ(drawn().first, kOff);
}

TEST_F(BmpBtnDrawing, WithoutAFocusImageHoverIsNeverTracked)
{
    ASSERT_EQ(load("d.bmp", "", "o.bmp", "h.bmp"), 1);
    hover();
    EXPECT_FALSE(m_button->IsHover());
    EXPECT_EQ(drawn().first, kNormal);
}

TEST_F(BmpBtnDrawing, CaptionIsCentredInTheStateColour)
{
    QImage wide(120, 30, QImage::Format_RGB32);
    wide.fill(kNormal);
    m_dir.saveBmp("wide.bmp", wide);
    m_parent.resize(140, 50);
    ASSERT_EQ(m_button->LoadBitmapsFromFiles(m_dir.path(), "wide.bmp", "", "", "", "", 1, 0x0000FF),
              1);
    m_button->resize(m_button->NormalSize());
    m_button->SetCaption(QStringLiteral("Refresh"));
    m_button->SetCaptionColours(0xFFFFFF, 0xFFFFFF, 0x0000FF, 0xFFFFFF);
    auto captionBox = [this](QRgb colour) {
        const QImage image =
            m_parent.grab().toImage().copy(QRect(m_button->pos(), m_button->size()));
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) | 0xFF000000) == colour)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect white = captionBox(qRgb(255, 255, 255));
    ASSERT_FALSE(white.isEmpty());
    EXPECT_NEAR(white.center().x(), 60, 3);
    EXPECT_NEAR(white.center().y(), 15, 3);
    m_button->setEnabled(false);
    EXPECT_FALSE(captionBox(kRed).isEmpty()); // disabled colour 0x0000FF is red
    EXPECT_TRUE(captionBox(qRgb(255, 255, 255)).isEmpty());
}

TEST_F(BmpBtnDrawing, LoaderFailures)
{
    // A missing normal bitmap: no image at all.
    EXPECT_EQ(m_button->LoadBitmapsFromFiles(m_dir.path(), "none.bmp", "d.bmp", "f.bmp", "o.bmp",
                                             "h.bmp", 1, 0x0000FF),
              0);
    EXPECT_EQ(m_button->NormalSize(), QSize(0, 0));
    EXPECT_TRUE(m_button->Pair(State::Down).IsNull());

    // A missing state file: that state stays empty, the result is 0, the others load.
    EXPECT_EQ(load("d.bmp", "f.bmp", "none.bmp", "h.bmp"), 0);
    EXPECT_TRUE(m_button->Pair(State::Off).IsNull());
    EXPECT_FALSE(m_button->Pair(State::Over).IsNull());
    m_button->setEnabled(false);
    EXPECT_EQ(drawn().first, kNormal);

    // A new load replaces every state.
    EXPECT_EQ(load("", "", "", ""), 1);
    EXPECT_TRUE(m_button->Pair(State::Down).IsNull());
}

TEST(BmpBtnResources, WithoutTheLibraryNothingLoads)
{
    CBmpBtn button;
    EXPECT_EQ(button.LoadBitmaps(nullptr, 1324, 1321, 1322, 1325, 1323, 0x0000FF), 0);
    EXPECT_EQ(button.NormalSize(), QSize(0, 0));
    EXPECT_TRUE(button.IsTransparent());
}

TEST(BmpBtnResources, LoadsByNumberAndReportsMissingNumbers)
{
    const ui::ResourceModule* lib = ui::LoadResourceModule(QUELMAR_SORVIK_DLL);
    ASSERT_NE(lib, nullptr);
    CBmpBtn button;
    EXPECT_EQ(button.LoadBitmaps(lib, 1324, 1321, 1322, 1325, 1323, 0x0000FF), 1);
    EXPECT_FALSE(button.Pair(State::Over).IsNull());
    // Number 0 leaves a state empty without failing.
    EXPECT_EQ(button.LoadBitmaps(lib, 1324, 0, 0, 0, 0, 0x0000FF), 1);
    EXPECT_TRUE(button.Pair(State::Down).IsNull());
    // A missing number fails that state only.
    EXPECT_EQ(button.LoadBitmaps(lib, 1324, 9991, 1322, 1325, 9992, 0x0000FF), 0);
    EXPECT_TRUE(button.Pair(State::Down).IsNull());
    EXPECT_FALSE(button.Pair(State::Focus).IsNull());
    EXPECT_TRUE(button.Pair(State::Over).IsNull());
    ui::FreeResourceModule(lib);
}

} // namespace
