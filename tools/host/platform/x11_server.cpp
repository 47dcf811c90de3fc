#include "tools/host/platform/x11_server.h"

#include <X11/Xlib.h>

#include <csignal>
#include <fstream>
#include <iostream>
#include <cstdlib>
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

bool reachableAt(const std::string& name)
{
    Display* display = XOpenDisplay(name.c_str());
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

// A display number of this process's own (from its id), so that parallel
// test programs never meet on one server: a program whose server another
// had started would lose it when that one ends.
bool startXvfb()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int number = 100 + int((unsigned(getpid()) * 7u + unsigned(attempt) * 131u) % 5000u);
        std::string name = ":";
        name += std::to_string(number);
        std::string lock = "/tmp/.X";
        lock += std::to_string(number);
        lock += "-lock";
        if (access(lock.c_str(), F_OK) == 0)
            continue;
        const pid_t child = fork();
        if (child == 0) {
            // Its complaints go to a file that is shown if it does not start.
            if (int log = open(logPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600); log >= 0) {
                dup2(log, 1);
                dup2(log, 2);
            }
            // No reset when the last client leaves: a reset refuses the
            // connections that come in meanwhile.
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        if (child < 0)
            return false;
        serverProcess = child;
        static const bool stopsAtExit = std::atexit(stopServer) == 0;
        (void)stopsAtExit;
        // Ready once it accepts a connection, for as long as it runs.
        for (int wait = 0; wait < 300; ++wait) {
            if (waitpid(child, nullptr, WNOHANG) == child) {
                serverProcess = 0;
                break; // it gave up (the number was taken): another number
            }
            if (reachableAt(name)) {
                setenv("DISPLAY", name.c_str(), 1);
                unlink(logPath().c_str());
                return true;
            }
            usleep(50000);
        }
        stopServer();
    }
    std::ifstream log(logPath());
    std::cerr << "Xvfb did not start:\n" << log.rdbuf() << '\n';
    return false;
}

} // namespace
} // namespace tarvel::host
