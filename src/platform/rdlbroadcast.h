#pragma once
// Named window messages broadcast to all top-level windows of this program: at once to
// the receivers of this process, and through one Unix datagram socket per process to the
// receivers of the program's other processes on this machine, which see them when they
// next call RDLNachrichtenVerarbeiten (before using cached data, and on the idle timer).
// On a server database (RDLProgramm's) they travel as notifications of that database as
// well, to the program on every other workstation (docs/schema.md, "Nachrichten"). A
// message that arrives both ways is handed over once.
#include <cstdint>
#include <functional>
#include <string>

// The number of a named message in this process (the same name gives the same number;
// numbers differ between processes, so names travel between them).
uint32_t RDLRegisterWindowMessage(const std::string& AName);

// A hidden window that receives broadcast messages. Its handle is unique across the
// processes of the machine (process id in the upper 32 bits) and, as the lower half starts
// at a random number per process, practically across workstations too.
class TRDLNachrichtenEmpfaenger {
public:
    using THandler = std::function<void(uint32_t AMsg, uint64_t AWParam, int64_t ALParam)>;
    explicit TRDLNachrichtenEmpfaenger(THandler AHandler);
    ~TRDLNachrichtenEmpfaenger();
    TRDLNachrichtenEmpfaenger(const TRDLNachrichtenEmpfaenger&) = delete;
    TRDLNachrichtenEmpfaenger& operator=(const TRDLNachrichtenEmpfaenger&) = delete;

    uint64_t Handle() const { return FHandle; }

private:
    uint64_t FHandle;
};

// Delivers the message to every live receiver of this process, the sender's own included
// (a receiver that must ignore its own broadcast compares AWParam with its handle), and
// sends it to every other process of the program that has receivers.
void RDLBroadcastSystemMessage(uint32_t AMsg, uint64_t AWParam, int64_t ALParam);

// Hands the messages other processes sent to this one to its receivers, without waiting.
// Returns the number of messages received. Also keeps the listening connection of a
// server database going: started when needed, after a loss again at once, and after a
// failure every few seconds; failures go to the log.
int RDLNachrichtenVerarbeiten();

// True while this process hears the other workstations through its server database.
bool RDLNachrichtenUeberServer();

// The folder of the processes' sockets: $QUENDRIX_NACHRICHTENORDNER, else
// $XDG_RUNTIME_DIR/quendrix, else /tmp/quendrix-<uid>.
std::string RDLNachrichtenOrdner();
