// Writes the seed corpus of fuzz_package into the folder given as argument:
// the test fixtures of every layout, as package files and in the target's
// "GZ!" form (decompressed content), plus a few broken ones.

#include "PackageFixture.h"

#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_package_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path()))
        return 1;
    int nWritten = 0;
    auto write = [&](const QString &strName, const QByteArray &baData) {
        nWritten += PackageFixture::WriteFile(folder.filePath(strName), baData) ? 1 : 0;
    };
    for (const QString &strLayout : PackageFixture::LayoutNames()) {
        const QByteArray baPlain = PackageFixture::Typical(strLayout);
        write(strLayout + QStringLiteral(".zip"), PackageFixture::Gzip(baPlain));
        write(strLayout + QStringLiteral(".gz-form"), "GZ!" + baPlain);
    }
    const QByteArray baMms = PackageFixture::Typical(QStringLiteral("MMS"));
    write(QStringLiteral("cut-entry.gz-form"), "GZ!" + baMms.left(baMms.size() - 4));
    write(QStringLiteral("cut-header.zip"), PackageFixture::Gzip(baMms.left(270000)));
    write(QStringLiteral("traversal.gz-form"),
          "GZ!" + PackageFixture::Build(QStringLiteral("MMS"),
                                        {{"../../evil", "e"}, {"C:\\a\\..", "d"}, {"/", "s"}, {"a/b\\c", "c"}},
                                        {1}, "P"));
    write(QStringLiteral("info.xml"), "<?xml version=\"1.0\"?>\r\n<Info>\r\n\t<DeviceName>P\x10" "1</DeviceName>\r\n"
                                      "</Info>\r\n<Moudle>\r\n\t<PB>1</PB>\r\n</Moudle>");
    std::printf("%d seeds in %s\n", nWritten, qPrintable(folder.path()));
    return 0;
}
