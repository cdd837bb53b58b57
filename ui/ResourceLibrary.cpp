#include "ui/ResourceLibrary.h"

#include "platform/System.h"
#include "platform/Trace.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QResource>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace ui {

/// Plain layout on purpose: the wizard library's copy of the toolkit reads handles made by
/// the utility's copy. Lookups read only `magic` and `root`.
struct ResourceModule
{
    std::uint32_t magic;
    char root[32];    ///< where the bundle is mapped in Qt's resource tree, "/sorvik/N"
    std::string file; ///< the registered file, for unregistering
};

namespace {

constexpr std::uint32_t kModuleMagic = 0x4B56524Fu;

bool IsModule(const ResourceModule* module)
{
    return module != nullptr && module->magic == kModuleMagic;
}

QString PathIn(const ResourceModule* module, const char* kind, UINT id, const char* suffix)
{
    return QStringLiteral(":%1/%2/%3%4")
        .arg(QString::fromLatin1(module->root), QString::fromLatin1(kind))
        .arg(id)
        .arg(QString::fromLatin1(suffix));
}

} // namespace

const ResourceModule* LoadResourceModule(const std::string& file)
{
    static std::atomic<unsigned> counter{0};
    auto* module = new ResourceModule{kModuleMagic, {}, file};
    std::snprintf(module->root, sizeof module->root, "/sorvik/%u", ++counter);
    if (!QFile::exists(QString::fromStdString(file)) ||
        !QResource::registerResource(QString::fromStdString(file),
                                     QString::fromLatin1(module->root))) {
        platform::Trace("LoadResourceModule(%s) failed\n", file.c_str());
        delete module;
        return nullptr;
    }
    return module;
}

void FreeResourceModule(const ResourceModule* module)
{
    if (!IsModule(module))
        return;
    QResource::unregisterResource(QString::fromStdString(module->file),
                                  QString::fromLatin1(module->root));
    auto* owned = const_cast<ResourceModule*>(module);
    owned->magic = 0;
    delete owned;
}

std::string LoadResourceString(const ResourceModule* module, UINT id, std::size_t bufferSize)
{
    if (!IsModule(module) || bufferSize == 0)
        return {};
    QFile file(PathIn(module, "string", id, ".txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    // A maker's editor may end the file with a line end; it is not part of the string.
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    text = text.substr(0, text.find('\0'));
    if (text.size() > bufferSize - 1)
        text.resize(bufferSize - 1);
    return text;
}

QImage LoadResourceBitmap(const ResourceModule* module, UINT id)
{
    if (!IsModule(module))
        return {};
    for (const char* suffix : {".bmp", ".png"}) {
        const QString path = PathIn(module, "bitmap", id, suffix);
        if (!QFile::exists(path))
            continue;
        QImage image(path);
        if (!image.isNull())
            return image.convertToFormat(QImage::Format_RGB32);
    }
    return {};
}

QIcon LoadResourceIcon(const ResourceModule* module, UINT id)
{
    if (!IsModule(module))
        return {};
    // The pixmaps are read now: the icon must not depend on the bundle staying registered.
    QIcon icon;
    const QDir folder(PathIn(module, "icon", id, ""));
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        const QImage image(folder.filePath(name));
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    if (icon.isNull()) {
        QImageReader reader(PathIn(module, "icon", id, ".ico"));
        const int count = reader.imageCount();
        for (int i = 0; i < count; ++i) {
            if (!reader.jumpToImage(i))
                break;
            const QImage image = reader.read();
            if (!image.isNull())
                icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

CResourceLibrary::CResourceLibrary()
    : m_hModule(LoadResourceModule(platform::GetProgramDirectory() + "Sorvik.dll"))
{
}

CResourceLibrary::~CResourceLibrary()
{
    FreeResourceModule(m_hModule);
}

} // namespace ui
