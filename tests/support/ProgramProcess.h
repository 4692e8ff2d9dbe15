#pragma once

// The whole program as a child process, as a user starts it: headless (Qt's offscreen
// platform), in `folder`, its virtual ports in folder/ports.
#include "Files.h"

#include <QProcess>

#include <csignal>

inline QProcess* startProgram(const QString& folder, const QStringList& arguments, QObject* parent,
                              QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
    auto* program = new QProcess(parent);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZARNIKCONTROL_PORT_DIR", folder + "/ports");
    program->setProcessEnvironment(env);
    program->setWorkingDirectory(folder);
    program->start(ZARNIKCONTROL_BINARY, arguments);
    return program;
}

// Asks the program to end as the service manager or a shell does.
inline void terminate(QProcess* program) { ::kill(static_cast<pid_t>(program->processId()), SIGTERM); }
