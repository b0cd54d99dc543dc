#pragma once

#include <QString>
#include <QStringList>

// Runs every package reader on one package and checks where files landed.
// Shared by the hostile-package tests and the fuzz target: both hand it a
// sandbox folder holding the package and an output folder, and expect that
// nothing but the output folder's content appears.
class PackageTraversal
{
public:
    struct Outcome
    {
        bool bUnZipPkg = false;      // UnZipPkgHead, then UnZipPkg
        bool bLayoutExtract[6] = {}; // each layout's extractor forced
        bool bSound = false;         // the verifier
        // Files the extractors reported writing anywhere but directly in
        // the output folder; empty unless something is badly wrong.
        QStringList listOutside;
    };

    // Reads strPackage with the version reader, every header reader, the
    // chained and the six layout extractors (into strOutDir, given with and
    // without a trailing separator) and the verifier.
    static Outcome RunAll(const QString &strPackage, const QString &strOutDir);
    // Every file and folder below strRoot, relative to it, sorted.
    static QStringList Walk(const QString &strRoot);
    // What below strRoot is neither a file directly inside strOutDir nor
    // listed in listExpected (relative paths).
    static QStringList Strays(const QString &strRoot, const QString &strOutDir, const QStringList &listExpected);
};
