#include "tools/host/platform/x11_server.h"

#include <X11/Xlib.h>

#include <csignal>
#include <fstream>
#include <iostream>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

namespace tarvel::host {

namespace {

pid_t serverProcess = 0;

std::string logPath()
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/tarvel-xvfb-" + std::to_string(getpid()) + ".log";
}

void stopServer()
{
    if (serverProcess > 0) {
        kill(serverProcess, SIGTERM);
        waitpid(serverProcess, nullptr, 0);
        serverProcess = 0;
    }
}

bool reachable()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

} // namespace

namespace {
bool startXvfb();
}

bool ensureXServer()
{
    if (reachable())
        return true;
    // A heavily loaded machine can make a start fail; one more try.
    return startXvfb() || startXvfb() || reachable();
}

namespace {

bool startXvfb()
{
    // Xvfb picks a free display number and writes it to the pipe when ready.
    int ready[2];
    if (pipe(ready) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        const std::string descriptor = std::to_string(ready[1]);
        // Its complaints go to a file that is shown if it does not start.
        if (int log = open(logPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600); log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    if (child < 0) {
        close(ready[0]);
        return false;
    }
    serverProcess = child;
    static const bool stopsAtExit = std::atexit(stopServer) == 0;
    (void)stopsAtExit;
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, 30000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ready[0]);
    if (number.empty()) {
        stopServer();
        std::ifstream log(logPath());
        std::cerr << "Xvfb did not start:\n" << log.rdbuf() << '\n';
        return false;
    }
    unlink(logPath().c_str());
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return reachable();
}

} // namespace
} // namespace tarvel::host
