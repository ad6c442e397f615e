// The link to the host application: the receive target, the host path that turns the host's
// bytes into queued incoming frames, the delivery of queued frames to the host, and the to-host
// queue that every producer of panel frames appends to.
//
// The exported DLL functions are thin wrappers around HostLinkSetRxTarget,
// HostLinkReceiveFromApp and HostLinkCheckRx. Everything platform-specific the host path needs
// (the target link, the Rx/Tx monitor, the synchronous hand-over to the user-interface thread)
// comes from the protocol record's platform (common/platform.h).
//
// Threads: HostLinkReceiveFromApp and HostLinkCheckRx run on the host's thread(s);
// HostLinkReceiveFromApp also runs on the user-interface thread for injected commands;
// QueueForHost is called from the user-interface thread and the serial reader thread. Both
// queues live in the protocol record, each with its own lock; the host's callback is called
// with no lock held.
#pragma once

#include <cstdint>
#include "design/object_model.h"

#include "common/platform.h"  // MONITOR_HOST_TO_PANEL, MONITOR_PANEL_TO_HOST

struct stProtocol;

// Registers the host's receive callback and the byte it reads each delivered byte from.
void HostLinkSetRxTarget(stProtocol& p, void (*callback)(), unsigned char* byteBuffer);

// The host path: assemble; on a completed frame forward the call's bytes to the link, queue
// the unescaped frame as incoming, show the call's bytes in the monitor and hand over to the
// user-interface thread (without a platform that takes it, the incoming queue is discarded). Bytes that complete no frame stay in the assembler.
void HostLinkReceiveFromApp(stProtocol& p, const unsigned char* data, unsigned int length);

// Delivers the first message of the to-host queue to the receive target byte by byte, shows it
// in the monitor and removes it. Returns 1 when a message was delivered. Without a registered
// target nothing is delivered and the message stays queued.
int HostLinkCheckRx(stProtocol& p);

// Appends a copy of a frame (transmitted form) to the to-host queue. Returns 1 on success;
// on allocation failure the frame is dropped (the allocator has traced the shortage).
int QueueForHost(stProtocol& p, const uint8_t* bytes, uint32_t count);

// Builds, stuffs and queues a message for the host with the active protocol mode. Returns 1
// when it was queued. `sequenceUsed` (may be null) receives the frame's sequence byte.
int SendToHost(stProtocol& p, const uint8_t* message, int length, int repeat, uint8_t* sequenceUsed = nullptr);

// Removes and frees every message of the incoming queue (stand-in hand-over until the
// dispatcher runs). Returns the number of messages removed.
int DiscardIncomingQueue(stProtocol& p);

// Removes and frees one message of a queue under the queues' lock.
void RemoveMessage(stObjList* queue, stTextItem* message);

// Frames a message as the host would (with its own injection sequence byte when the active
// mode has sequence bytes) and hands it to the host path, so that it reaches the target link
// and the panel's dispatcher and shows in the monitor. Returns 0 when it could not be framed.
int InjectCommand(stProtocol& p, const uint8_t* message, int length);

// Back to the load-time state: no receive target, empty host-path assembler, both queues empty.
void ResetHostLink(stProtocol& p);
