#include "tools/host/platform/x11_server.h"

#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

namespace tarvel::host {

namespace {

pid_t serverProcess = 0;

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

bool startXvfb();

bool ensureXServer()
{
    if (reachable())
        return true;
    // A heavily loaded machine can make a start fail; one more try.
    return startXvfb() || startXvfb();
}

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
        if (int null = open("/dev/null", 0); null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
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
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return reachable();
}

} // namespace tarvel::host
