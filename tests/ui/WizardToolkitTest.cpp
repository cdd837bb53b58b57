// The wizard library's build of the toolkit: white everywhere, translations cut to 255
// characters, painted text set by colour, alignment and boldness.
#include "ui/MultiLanguage.h"
#include "ui/MyStatic.h"
#include "ui/NewPage.h"
#include "ui/Toolkit.h"

#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace ui;

TEST(WizardToolkit, IsTheWizardBuild)
{
    EXPECT_TRUE(IsWizardToolkit());
}

TEST(WizardToolkit, TranslationsAreCutTo255Characters)
{
    uitest::TempProgramDir dir;
    dir.write("MultiLanguage.tmp", "[Orlumi Dialog]\nNext=" + std::string(300, 'n') +
                                       "\nBack=" + std::string(255, 'b') + "\nCancel=Annuler\n");
    CMultiLanguage lang;
    EXPECT_EQ(lang.Translate("Orlumi Dialog", "Next"), std::string(255, 'n'));
    EXPECT_EQ(lang.Translate("Orlumi Dialog", "Back"), std::string(255, 'b'));
    EXPECT_EQ(lang.Translate("Orlumi Dialog", "Cancel"), "Annuler");
    EXPECT_EQ(lang.Translate("Orlumi Dialog", "Finish"), "Finish");
}

const DialogTemplate kPage{
    8001,
    300,
    120,
    WS_CHILD | DS_SETFONT,
    0,
    "",
    {},
    {
        {8106, ControlKind::PaintedStatic, 7, 7, 200, 10, "Join a wireless network"},
        {1089, ControlKind::CheckBox, 7, 30, 100, 10, "Same id"},
        {8107, ControlKind::Static, 7, 50, 200, 10, "Preparing..."},
    }};

TEST(WizardToolkit, PagesAndEveryControlAreWhite)
{
    CNewPage page(kPage);
    page.OnInitDialog();
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             page.GetDlgItem(1089), page.GetDlgItem(8107), nullptr})
        EXPECT_EQ(page.OnCtlColor(control).color(), QColor(Qt::white));
    const QImage image = page.grab().toImage();
    const QRect box = page.GetDlgItem(1089)->geometry();
    EXPECT_EQ(image.pixel(box.right() - 1, box.center().y()) | 0xFF000000, qRgb(255, 255, 255));
}

TEST(WizardToolkit, PaintedTextTakesColourAlignmentAndBoldness)
{
    CNewPage page(kPage);
    page.OnInitDialog();
    auto* text = page.GetDlgItemAs<CMyStatic>(8106);
    ASSERT_NE(text, nullptr);
    text->SetTextStyle(0xFF0000, 1, true);
    EXPECT_EQ(text->m_crText, 0xFF0000u);
    EXPECT_EQ(text->m_nFormat, DT_CENTER);
    EXPECT_EQ(text->PaintFont()->pixelSize(), 16);
    EXPECT_EQ(text->PaintFont()->weight(), QFont::Bold);
    text->SetTextStyle(0, 0, false);
    EXPECT_EQ(text->m_nFormat, DT_LEFT);
    EXPECT_EQ(text->PaintFont()->pixelSize(), text->font().pixelSize());
    EXPECT_EQ(text->PaintFont()->weight(), QFont::Normal);
    EXPECT_EQ(text->PaintFont()->family(), text->font().family());
}

} // namespace
