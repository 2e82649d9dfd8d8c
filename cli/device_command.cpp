// The device commands: list, get, put and delete go through the control's CRapi members in the
// order the transfer window calls them; init makes a folder that looks like a handheld. The
// control's messages and every error go to stderr.
#include "cli/device_command.h"

#include "cli/cli_errors.h"
#include "cli/own_stderr.h"

#include "devicectl/client/cradlelink_client.h"
#include "devicectl/client/transfer_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <functional>

namespace orv::cli {

namespace {

using cradlelink::ControlHost;

void out(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

// The tool's stderr is set aside from what libraries print; the control's boxes come here too.
void err(const QString& text)
{
    std::fprintf(ownStderr(), "%s\n", text.toLocal8Bit().constData());
    std::fflush(ownStderr());
}

std::unique_ptr<ControlHost> loadControl()
{
    QString problem;
    auto host = ControlHost::load(cradlelink::locateLibrary(QCoreApplication::applicationDirPath()), &problem);
    if (!host) err("Error: " + problem);
    else host->setMessageHandler([](const QString& text, const QString&) { err("Cradlelink: " + text); });
    return host;
}

// After a failure: when the folder that stands for the handheld is missing, say where it was
// looked for and how to make one.
void hintWhenNoHandheld()
{
    if (const QString folder = deviceFolderFromEnvironment(); !QFileInfo(folder).isDir())
        err(missingDeviceFolderHint(folder));
}

bool connect(ControlHost& c)
{
    if (c.ConnectRapi() == 0) return true;
    const int n = c.LastError();
    err(QString("Error Connection to PPC! Last Error: %1").arg(n));
    c.DisconnectRapi();
    return false;
}

// Lists one device folder: its packages, and the contents of sub-folders named like one. The
// entries are collected before going down, because the control holds one search at a time.
void listFolder(ControlHost& c, const QString& folder, QStringList& found, int depth = 0)
{
    c.setPPCSearchPath(folder + "*.tsk");
    if (c.FindFirstFile() == -1) {
        c.LastError();
        return;
    }
    QList<std::pair<QString, bool>> entries;
    do {
        entries.append({c.PPCFoundFile(), (c.Attributes() & KFILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (c.FindNextFile() != 0);
    for (const auto& [name, isFolder] : entries) {
        if (isFolder && depth < 8 && isPlainFileName(name)) listFolder(c, folder + name + "\\", found, depth + 1);
        found << folder + name;
    }
}

int runList(ControlHost& c)
{
    if (c.ConnectRapi() != 0) {
        err("Error Connection to PPC!");
        c.DisconnectRapi();
        return 1;
    }
    c.setPPCSearchPath("\\windows\\*.exe");
    if (c.FindFirstFile() == -1) {
        err("Unable to connect! Make sure ActiveSync is working!");
        hintWhenNoHandheld();
        c.DisconnectRapi();
        return 1;
    }
    QStringList found;
    listFolder(c, "\\My Documents\\", found);
    listFolder(c, "\\windows\\", found);
    c.DisconnectRapi();
    for (const QString& path : found) out(path);
    return 0;
}

int runGet(ControlHost& c, const QString& devicePath, const QString& pcFolder)
{
    const QString name = pcNameOfDevicePath(devicePath);
    if (name.isEmpty()) {
        err(kNotCopiedText + devicePath);
        return 1;
    }
    if (!QFileInfo(pcFolder).isDir()) {
        err("Error: " + pcFolder + " is not a folder");
        return 1;
    }
    if (!connect(c)) return 1;
    int status = 0;
    if (c.GetPPCFileSize(devicePath) > 0) {
        c.setPCFileNameToWrite(QDir(pcFolder).absoluteFilePath(name));
        c.setPPCFileNameToRead(devicePath);
        if (!c.TransferFileFromPPC()) {
            err("Error: " + devicePath + " was not copied");
            status = 1;
        }
    } else {
        err("Error: " + devicePath + " is empty or cannot be opened on the device");
        hintWhenNoHandheld();
        status = 1;
    }
    c.DisconnectRapi();
    return status;
}

int runPut(ControlHost& c, const QStringList& files)
{
    // A backslash in a PC name would reach into another folder of the handheld: nothing is
    // sent when one of the names cannot stand on the handheld.
    for (const QString& file : files) {
        if (!isPlainFileName(QFileInfo(file).fileName())) {
            err(kNotSentText + file);
            return 1;
        }
    }
    for (const QString& file : files) {
        const QString problem = inputProblem(file, "file");
        if (!problem.isEmpty()) {
            reportFileError(file, problem);
            return 1;
        }
    }
    if (!connect(c)) return 1;
    for (const QString& file : files) {
        const QFileInfo info(file);
        c.setPCFileNameToRead(info.absoluteFilePath());
        c.setPPCFileNameToWrite("\\my documents\\" + info.fileName());
        if (!c.TransferFileToPPC()) {
            const int n = c.LastError();
            c.DisconnectRapi();
            err(QString("Error Sending Themes to PPC! Last Error: %1").arg(n));
            hintWhenNoHandheld();
            return 1;
        }
    }
    c.DisconnectRapi();
    return 0;
}

int runDelete(ControlHost& c, const QStringList& paths)
{
    if (!connect(c)) return 1;
    int status = 0;
    for (const QString& path : paths) {
        c.setPPCFileToDelete(path);
        if (!c.DeletePPCFile()) {
            err(QString("Error: %1 was not deleted. Last Error: %2").arg(path).arg(c.LastError()));
            status = 1;
        }
    }
    c.DisconnectRapi();
    return status;
}

// A folder laid out like a handheld: \My Documents for packages, \Windows with the system
// programs whose presence tells the transfer window that the handheld answers.
int runInit(const QString& dir)
{
    const QString root = dir.isEmpty() ? deviceFolderFromEnvironment() : dir;
    QDir d;
    if (!d.mkpath(root + "/My Documents") || !d.mkpath(root + "/Windows")) {
        err("Error: cannot create the device folder " + root);
        return 1;
    }
    for (const char* program : {"explorer.exe", "calc.exe", "pword.exe", "repllog.exe"}) {
        QFile f(root + "/Windows/" + program);
        if (f.exists()) continue;
        if (!f.open(QIODevice::WriteOnly) || !f.flush()) {
            err("Error: cannot write " + f.fileName());
            return 1;
        }
    }
    out(QFileInfo(root).absoluteFilePath());
    return 0;
}

int badArguments(const QString& problem)
{
    err("orvantis-cli: " + problem);
    err("Try 'orvantis-cli --help'.");
    return 2;
}

} // namespace

QString deviceUsageText()
{
    return QStringLiteral(
        "  device list | get DEVICEPATH [PCFOLDER] | put PCFILE... | delete DEVICEPATH...\n"
        "         | init [DIR]\n"
        "      Lists the handheld's packages (\\My Documents\\ then \\windows\\, full device\n"
        "      paths), copies one to PCFOLDER (default: here), sends files to \\my documents\\,\n"
        "      deletes device files. The handheld is a folder (ORVANTIS_DEVICE_ROOT, default\n"
        "      $XDG_DATA_HOME/Orvantis/device); init makes one that looks like a handheld.\n");
}

int runDeviceCommand(const QStringList& args)
{
    const QString sub = args.value(0);
    const QStringList rest = args.mid(1);
    if (sub == "init") {
        if (rest.size() > 1) return badArguments("device init takes at most one folder");
        return runInit(rest.value(0));
    }
    std::function<int(ControlHost&)> action;
    if (sub == "list" && rest.isEmpty()) action = runList;
    else if (sub == "get" && (rest.size() == 1 || rest.size() == 2))
        action = [&](ControlHost& c) { return runGet(c, rest[0], rest.value(1, ".")); };
    else if (sub == "put" && !rest.isEmpty()) action = [&](ControlHost& c) { return runPut(c, rest); };
    else if (sub == "delete" && !rest.isEmpty()) action = [&](ControlHost& c) { return runDelete(c, rest); };
    else if (QStringList{"list", "get", "put", "delete"}.contains(sub)) return badArguments("wrong arguments for device " + sub);
    else return badArguments(sub.isEmpty() ? "device needs list, get, put, delete or init" : "unknown device command " + sub);

    auto control = loadControl();
    if (!control) return 1;
    try {
        return action(*control);
    } catch (const AppError& e) {
        err("Error: " + e.description());
        try {
            control->DisconnectRapi();
        } catch (const AppError&) {
        }
        return 1;
    }
}

} // namespace orv::cli
