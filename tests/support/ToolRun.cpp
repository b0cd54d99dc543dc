#include "ToolRun.h"

#include <QProcess>

QString ToolRun::Path()
{
    return QStringLiteral(BACKUP_STAGE_DIR "/bin/backuptool");
}

ToolRun::Result ToolRun::Run(const QStringList &listArgs, int nTimeoutMs, const QProcessEnvironment &env)
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.start(Path(), listArgs);
    Result result;
    if (!process.waitForFinished(nTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.strOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.strErr = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}
