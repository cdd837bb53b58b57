#pragma once
/// The profile file that operation 6 imports ("Profile.rec"): INI, one section per profile,
/// keys named after the ProfileRecord fields in the forms a person writes them. The format
/// is described in maker/mirodel/README.md.

#include "adapter/Mirodel.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mirodel {

struct ProfileFile
{
    std::vector<ProfileRecord> profiles;
    std::size_t defaultIndex = 0; ///< the profile marked Default=1, else the first
};

/// Reads every profile of the file. On the first invalid entry returns a non-zero status
/// (2 no such file, 13 invalid) and, in `error`, a message naming the file, the line, the
/// section and the key.
std::uint32_t ReadProfileFile(const std::filesystem::path& file, ProfileFile& out, std::string* error);

} // namespace mirodel
