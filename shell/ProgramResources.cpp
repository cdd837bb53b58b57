#include "shell/ProgramResources.h"

#include <QDir>
#include <QFile>

static void InitCompiledResources()
{
    Q_INIT_RESOURCE(tavoro);
}

namespace shell {

namespace {

QByteArray ReadResource(const QString& path)
{
    InitProgramResources();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void InitProgramResources()
{
    static const bool done = (InitCompiledResources(), true);
    (void)done;
}

QIcon LoadProgramIcon(UINT id)
{
    InitProgramResources();
    QIcon icon;
    const QDir folder(QStringLiteral(":/tavoro/icon/%1").arg(id));
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        icon.addFile(folder.filePath(name));
    return icon;
}

std::string LoadProgramString(UINT id)
{
    return ReadResource(QStringLiteral(":/tavoro/string/%1.txt").arg(id)).toStdString();
}

std::vector<MenuItem> LoadProgramMenu(UINT id)
{
    std::vector<MenuItem> items;
    const QByteArray text = ReadResource(QStringLiteral(":/tavoro/menu/%1.txt").arg(id));
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        items.push_back({line.left(tab).toUInt(), line.mid(tab + 1).toStdString()});
    }
    return items;
}

} // namespace shell
