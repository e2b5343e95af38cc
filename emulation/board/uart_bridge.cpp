// UART0 of the simulated AVR to and from a pty, pumped by the simulation loop.
#include "emulation/board/uart_bridge.h"

#include <avr_uart.h>
#include <errno.h>
#include <sim_avr.h>
#include <sim_irq.h>
#include <unistd.h>

#include <deque>
#include <string>

namespace {

int port = -1;
avr_irq_t* uartInput = nullptr;
// The UART takes bytes while its receive queue has room: XON and XOFF say so.
bool uartTakes = true;
std::deque<uint8_t> toUart;
std::string fromUart;

void OnUartOutput(avr_irq_t*, uint32_t value, void*) { fromUart.push_back(static_cast<char>(value)); }
void OnUartXon(avr_irq_t*, uint32_t, void*) { uartTakes = true; }
void OnUartXoff(avr_irq_t*, uint32_t, void*) { uartTakes = false; }

void ReadPort() {
  uint8_t buffer[256];
  for (;;) {
    const ssize_t n = read(port, buffer, sizeof buffer);
    if (n <= 0) return;  // EAGAIN: nothing more for now
    toUart.insert(toUart.end(), buffer, buffer + n);
  }
}

void WritePort() {
  while (!fromUart.empty()) {
    const ssize_t n = write(port, fromUart.data(), fromUart.size());
    if (n > 0) {
      fromUart.erase(0, static_cast<size_t>(n));
      continue;
    }
    // Nobody reads and the pty's queue is full: like a real line with
    // nothing at its end, the bytes are lost.
    if (n < 0 && errno == EAGAIN) fromUart.clear();
    return;
  }
}

}  // namespace

void StartUartBridge(avr_t* avr, int fd) {
  port = fd;
  // The UART prints what it sends on the simulator's stdout unless told not
  // to, and sleeps on every status read while idle: neither is wanted here.
  uint32_t flags = 0;
  avr_ioctl(avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
  flags &= ~(AVR_UART_FLAG_STDIO | AVR_UART_FLAG_POLL_SLEEP);
  avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);

  uartInput = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT), OnUartOutput, nullptr);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XON), OnUartXon, nullptr);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XOFF), OnUartXoff, nullptr);
}

void PumpUartBridge() {
  ReadPort();
  while (uartTakes && !toUart.empty()) {
    const uint8_t byte = toUart.front();
    toUart.pop_front();
    avr_raise_irq(uartInput, byte);
  }
  WritePort();
}

bool UartBridgeHasInput() { return !toUart.empty(); }
