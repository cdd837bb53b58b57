#include "platform/VersionInfo.h"

#include <elf.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace platform {

std::optional<FileVersion> GetFileVersion(const std::filesystem::path& file)
{
    std::ifstream in(file.empty() ? std::filesystem::path("/proc/self/exe") : file, std::ios::binary);
    if (!in)
        return std::nullopt;
    Elf64_Ehdr header;
    if (!in.read(reinterpret_cast<char*>(&header), sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shnum == 0 ||
        header.e_shstrndx >= header.e_shnum || header.e_shnum > 4096)
        return std::nullopt;
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    in.seekg(static_cast<std::streamoff>(header.e_shoff));
    if (!in.read(reinterpret_cast<char*>(sections.data()),
                 static_cast<std::streamsize>(sections.size() * sizeof(Elf64_Shdr))))
        return std::nullopt;
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > (1u << 20))
        return std::nullopt;
    std::vector<char> nameTable(names.sh_size + 1, '\0');
    in.seekg(static_cast<std::streamoff>(names.sh_offset));
    if (!in.read(nameTable.data(), static_cast<std::streamsize>(names.sh_size)))
        return std::nullopt;
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= names.sh_size ||
            std::strcmp(&nameTable[section.sh_name], "qw_version") != 0 ||
            section.sh_size < sizeof(FileVersionRecord))
            continue;
        FileVersionRecord record;
        in.seekg(static_cast<std::streamoff>(section.sh_offset));
        if (!in.read(reinterpret_cast<char*>(&record), sizeof record) ||
            std::memcmp(record.magic, "QWVER01", 8) != 0)
            return std::nullopt;
        return FileVersion{record.parts[0], record.parts[1], record.parts[2], record.parts[3]};
    }
    return std::nullopt;
}

std::string FileVersionText(const std::filesystem::path& file)
{
    const auto version = GetFileVersion(file);
    if (!version)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", (*version)[0], (*version)[1], (*version)[2],
                  (*version)[3]);
    return text;
}

} // namespace platform
