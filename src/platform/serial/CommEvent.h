#pragma once

// The events a serial port reports to its owner, in the terms of the classic serial-port
// control that loggers and keyers were built against.
enum class CommEvent {
    Receive,   // bytes are waiting to be read
    CdChange,  // carrier detect changed
    CtsChange, // clear to send changed
    DsrChange, // data set ready changed
    Ring,      // ring indicator changed
    Break,
    CdTimeout,
    CtsTimeout,
    DsrTimeout,
    Framing,
    Overrun,
    RxOverflow, // more came in than the receive buffer holds; the excess is dropped
    Parity,
    TxFull, // a write did not fit into the output buffer and was dropped
};

// The input lines of a port, as its owner sees them.
struct ModemLines {
    bool cd = false;
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool operator==(const ModemLines&) const = default;
};
