// The translator: lookups by the language file's rules, read anew on every call.
#include "ui/MultiLanguage.h"

#include "UiTestSupport.h"
#include "ui/Text.h"
#include "ui/Toolkit.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Lookup
{
    const char* section;
    const char* key;
    std::string expected;
};

class MultiLanguageTest : public ::testing::Test
{
protected:
    void useFixture()
    {
        m_dir.write("MultiLanguage.tmp",
                    uitest::ReadAll(QUELMAR_TEST_DATA "/ui/MultiLanguage.tmp"));
    }

    uitest::TempProgramDir m_dir;
    CMultiLanguage m_lang;
};

TEST_F(MultiLanguageTest, WithoutTheFileEveryTextIsItsKey)
{
    for (const char* key : {"WEP", "Wireless Configuration Utility", " Show Tray Icon", ""})
        EXPECT_EQ(m_lang.Translate("Status Tab", key), key);
    EXPECT_EQ(m_lang.Path(), m_dir.path() + "MultiLanguage.tmp");
}

TEST_F(MultiLanguageTest, LooksUpByTheLanguageFileRules)
{
    useFixture();
    const Lookup cases[] = {
        // Key and section names match without regard to case; blanks around values go.
        {"Status Tab", "WEP", "Chiffrement WEP"},
        {"status tab", "Wep", "Chiffrement WEP"},
        // The same key in another section stays English.
        {"Configuration Tab", "WEP", "WEP"},
        {"Configuration Tab", "None", "Aucune"},
        // One pair of quotes is removed.
        {"Status Tab", "Infrastructure", "Infrastructure (point d'acces)"},
        // The key with its leading blank finds the entry; missing, it shows with the blank.
        {"Main Dialog", " Show Tray Icon", "Afficher l'icone"},
        {"System Tray", " Show Tray Icon", " Show Tray Icon"},
        // An empty translation is shown empty, not as the English text.
        {"Main Dialog", "General", ""},
        // A missing section or key shows the key; the default loses its trailing blanks.
        {"About Tab", "Exit", "Exit"},
        {"System Tray", "Open", "Open"},
        {"System Tray", "Disconnect   ", "Disconnect"},
    };
    for (const Lookup& c : cases)
        EXPECT_EQ(m_lang.Translate(c.section, c.key), c.expected) << c.section << " / " << c.key;
}

TEST_F(MultiLanguageTest, LongTranslationsAreCutToTheBuffer)
{
    const std::string long300(300, 'x');
    const std::string long600(600, 'y');
    m_dir.write("MultiLanguage.tmp",
                "[Orlumi Dialog]\nNext=" + long300 + "\nBack=" + long600 + "\n");
    ASSERT_FALSE(ui::IsWizardToolkit());
    EXPECT_EQ(m_lang.Translate("Orlumi Dialog", "Next"), long300);
    EXPECT_EQ(m_lang.Translate("Orlumi Dialog", "Back"), std::string(511, 'y'));
}

TEST_F(MultiLanguageTest, AFileReplacedBetweenTwoLookupsTakesEffect)
{
    m_dir.write("MultiLanguage.tmp", "[System Tray]\nExit=Quitter\n");
    EXPECT_EQ(m_lang.Translate("System Tray", "Exit"), "Quitter");

    // Rewritten in place with the same size.
    m_dir.write("MultiLanguage.tmp", "[System Tray]\nExit=Beenden\n");
    EXPECT_EQ(m_lang.Translate("System Tray", "Exit"), "Beenden");

    // Replaced by renaming another file over it.
    m_dir.write("next.tmp", "[System Tray]\nExit=Esci\n");
    std::filesystem::rename(m_dir.path() + "next.tmp", m_dir.path() + "MultiLanguage.tmp");
    EXPECT_EQ(m_lang.Translate("System Tray", "Exit"), "Esci");

    // Removed: English again.
    std::filesystem::remove(m_dir.path() + "MultiLanguage.tmp");
    EXPECT_EQ(m_lang.Translate("System Tray", "Exit"), "Exit");
}

TEST_F(MultiLanguageTest, FollowsTheProgramDirectory)
{
    useFixture();
    EXPECT_EQ(m_lang.Translate("System Tray", "Exit"), "Quitter");
    uitest::TempProgramDir other; // another program directory without a language file
    EXPECT_EQ(m_lang.Translate("System Tray", "Exit"), "Exit");
    EXPECT_EQ(m_lang.Path(), other.path() + "MultiLanguage.tmp");
}

} // namespace

namespace {

TEST(AnsiText, TranslationsShowAsUtf8OrLatin1)
{
    struct Case
    {
        std::string bytes;
        QString shown;
    };
    const Case cases[] = {
        {"Quitter", QStringLiteral("Quitter")},
        {"Param\xC3\xA8tres", QString::fromUtf8("Param\xC3\xA8tres")},
        {"Param\xE8tres", QString::fromUtf8("Param\xC3\xA8tres")}, // a Latin-1 file
        {"Cut here \xE2\x82", QStringLiteral("Cut here ")},         // cut inside a character
        {"", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::FromAnsi(c.bytes), c.shown) << c.bytes;
}

} // namespace
