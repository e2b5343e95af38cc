// The simulated board's USB serial port: the AVR's UART0 bridged to the pty's
// master side, byte for byte in both directions, on the simulator's thread.
//
// simavr's own uart_pty part would run a thread of its own that raises the
// UART's interrupts beside the simulation, and waiting for that thread at the
// end can hang; pumping here between simulation steps needs neither.
#pragma once

struct avr_t;

// Connects UART0 of avr to the file descriptor (non-blocking, open both ways).
void StartUartBridge(avr_t* avr, int fd);

// Moves what has arrived on the descriptor into the UART as far as the UART
// takes it, and what the UART has sent out to the descriptor.
void PumpUartBridge();

// True while bytes wait to go into the UART (so the caller does not sleep).
bool UartBridgeHasInput();
