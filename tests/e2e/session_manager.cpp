// A session manager for the real-window runs: it starts a program as its one
// client and, for each line read from standard input, asks it to save its
// state ("checkpoint") or ends the session ("logout": save with shutdown,
// then die). It reports on standard output what the client answered and
// how the program ended. Usage: session_manager PROGRAM [ARGUMENTS...]
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

SmsConn client = nullptr;
IceConn connection = nullptr;
bool dieAfterSave = false;

void report(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// What the library hands over is left to it: this process is short-lived.
Status registerClient(SmsConn conn, SmPointer, char*) {
    char* id = SmsGenerateClientID(conn);
    SmsRegisterClientReply(conn, id);
    std::free(id);
    report("registered");
    return 1;
}

void saveYourselfDone(SmsConn conn, SmPointer, Bool success) {
    report(success ? "save done" : "save failed");
    if (dieAfterSave) {
        SmsDie(conn);
    }
}

Status newClient(SmsConn conn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
    client = conn;
    std::memset(callbacks, 0, sizeof *callbacks);
    callbacks->register_client.callback = registerClient;
    callbacks->interact_request.callback = [](SmsConn c, SmPointer, int) { SmsInteract(c); };
    callbacks->interact_done.callback = [](SmsConn, SmPointer, Bool) {};
    callbacks->save_yourself_request.callback = [](SmsConn, SmPointer, int, Bool, int, Bool, Bool) {
    };
    callbacks->save_yourself_phase2_request.callback = [](SmsConn c, SmPointer) {
        SmsSaveYourselfPhase2(c);
    };
    callbacks->save_yourself_done.callback = saveYourselfDone;
    callbacks->close_connection.callback = [](SmsConn, SmPointer, int, char**) {};
    callbacks->set_properties.callback = [](SmsConn, SmPointer, int, SmProp**) {};
    callbacks->delete_properties.callback = [](SmsConn, SmPointer, int, char**) {};
    callbacks->get_properties.callback = [](SmsConn c, SmPointer) {
        SmsReturnProperties(c, 0, nullptr);
    };
    *mask = (1L << 10) - 1;  // every callback above
    return 1;
}

Bool anyHost(char*) {
    return True;
}

void command(const char* line) {
    if (client == nullptr) {
        report("no client");
    } else if (std::strncmp(line, "checkpoint", 10) == 0) {
        SmsSaveYourself(client, SmSaveBoth, False, SmInteractStyleNone, False);
    } else if (std::strncmp(line, "logout", 6) == 0) {
        dieAfterSave = true;
        SmsSaveYourself(client, SmSaveBoth, True, SmInteractStyleNone, False);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: session_manager PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    char error[256];
    int count = 0;
    IceListenObj* listeners = nullptr;
    if (!SmsInitialize("TarnWickTest", "1", newClient, nullptr, anyHost, sizeof error, error) ||
        !IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "session_manager: %s\n", error);
        return 1;
    }
    IceSetIOErrorHandler([](IceConn) {});  // a client that goes away is no reason to end
    for (int i = 0; i < count; ++i) {
        IceSetHostBasedAuthProc(listeners[i], anyHost);
    }
    setenv("SESSION_MANAGER", IceComposeNetworkIdList(count, listeners), 1);
    const pid_t program = fork();
    if (program == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    bool input = true;
    for (;;) {
        std::vector<pollfd> watched;
        watched.push_back({input ? STDIN_FILENO : -1, POLLIN, 0});
        for (int i = 0; i < count; ++i) {
            watched.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        }
        watched.push_back({connection ? IceConnectionNumber(connection) : -1, POLLIN, 0});
        if (poll(watched.data(), watched.size(), -1) < 0) {
            continue;
        }
        if (watched[0].revents != 0) {
            char line[64] = {};
            input = read(STDIN_FILENO, line, sizeof line - 1) > 0;
            if (input) {
                command(line);
            }
        }
        for (int i = 0; i < count; ++i) {
            if (watched[1 + i].revents != 0) {
                IceAcceptStatus status;
                if (IceConn accepted = IceAcceptConnection(listeners[i], &status)) {
                    connection = accepted;
                }
            }
        }
        if (connection && watched.back().revents != 0 &&
            IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError) {
            IceCloseConnection(connection);
            connection = nullptr;
            client = nullptr;
            int status = 0;
            waitpid(program, &status, 0);
            std::printf("exit status %d\n",
                        WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
            return 0;
        }
    }
}
