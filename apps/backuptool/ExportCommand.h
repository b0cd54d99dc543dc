#pragma once

#include <QString>
#include <QStringList>

class ToolOutput;

// backuptool export: a package's records under names other programs open
// (contacts.vcf, calendar.ics, messages.xml, call-log.xml) and a README.txt.
class ExportCommand
{
public:
    static QString Help();
    static int Run(const QStringList &listArgs, ToolOutput &out);
};
