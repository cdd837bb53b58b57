#include "ui/MultiLanguage.h"

#include "platform/PrivateProfile.h"
#include "platform/System.h"
#include "ui/Toolkit.h"

CMultiLanguage::CMultiLanguage() = default;

CMultiLanguage::~CMultiLanguage() = default;

std::string CMultiLanguage::Translate(std::string_view section, std::string_view key)
{
    // The directory is asked for on every call; an empty answer keeps the previous path.
    const std::string directory = platform::GetProgramDirectory();
    if (!directory.empty())
        m_strPath = directory + "MultiLanguage.tmp";
    return platform::GetPrivateProfileString(section, key, key, ui::TranslationBufferSize(),
                                             m_strPath);
}
