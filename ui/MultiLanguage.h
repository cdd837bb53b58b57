#pragma once
/// Translation of the user-visible English texts through the optional language file
/// "MultiLanguage.tmp" in the program directory. The English text is the key and the
/// default; a missing file, section or key shows the English text.

#include <string>
#include <string_view>

class CMultiLanguage
{
public:
    CMultiLanguage();
    virtual ~CMultiLanguage();

    /// The translation of `key` in `section`: read anew from the file on every call, so a
    /// file replaced while the program runs takes effect for the next lookup. The result is
    /// cut to 511 bytes (255 in the wizard library).
    std::string Translate(std::string_view section, std::string_view key);

    /// The file the last lookup read.
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};
