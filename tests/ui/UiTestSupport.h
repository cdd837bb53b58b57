#pragma once
// Helpers of the toolkit's tests: a temporary program directory and fixture files in it.

#include "platform/System.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace uitest {

/// Points the program directory at a fresh folder for the lifetime of the object.
class TempProgramDir
{
public:
    TempProgramDir() { platform::SetProgramDirectory(path()); }
    ~TempProgramDir() { platform::SetProgramDirectory({}); }
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    std::string path() const { return m_dir.path().toStdString() + "/"; }
    std::string oem() const { return path() + "OEM/"; }

    void write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path file = path() + name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    /// A bitmap file of one colour, with an optional pixel of another at (x, y).
    void writeBmp(const std::string& name, QSize size, QRgb fill) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(fill);
        saveBmp(name, image);
    }

    void saveBmp(const std::string& name, const QImage& image) const
    {
        const std::filesystem::path file = path() + name;
        std::filesystem::create_directories(file.parent_path());
        ASSERT_TRUE(image.save(QString::fromStdString(file.string()), "BMP"));
    }

private:
    QTemporaryDir m_dir;
};

inline std::string ReadAll(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace uitest
