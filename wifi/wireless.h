#pragma once

#include "base/messages.h"
#include "bridge/host.h"
#include "wifi/answers.h"
#include "wifi/qrcode.h"

#include <chrono>
#include <functional>
#include <optional>

// The Wi-Fi operations, for the window's Wi-Fi dialog and telvane-cli's wifi-* operations alike. Each
// writes its lines through the host and returns true once the phone is connected (or disconnected); its
// waits are the host's, so the user can cancel them.
namespace wifi {

// Input that is not an address or a code: %1 what was typed, %2 the form wanted (HOST[:PORT], HOST:PORT).
extern const Message BadAddress;
extern const Message BadCode;

// Why this adb cannot pair (pairing and mDNS came with platform-tools 30), to be shown in red; empty when
// it can. adb is asked its release once per run.
QString pairingRefusal(bridge::Host& host);

// The QR code pairing: showCode shows the pairing's QR code once the checks have passed; then adb's mDNS
// services are asked about once a second, at most limit, until the phone offers the pairing service of that
// name, which is paired with the password, and the phone connected.
inline constexpr std::chrono::milliseconds QrWait = std::chrono::minutes(2);
bool PairWithQrCode(bridge::Host& host, const QrPairing& pairing, const std::function<void()>& showCode,
                    std::chrono::milliseconds limit = QrWait);
// The code the phone shows beside its pairing address, then the phone connected.
bool PairWithCode(bridge::Host& host, const Address& address, const QString& code);
// A phone already paired, or in TCP mode.
bool Connect(bridge::Host& host, const Address& address);
// The USB phone in use: its Wi-Fi address, adb on it restarted in TCP mode, then connected to over Wi-Fi.
bool SwitchToWifi(bridge::Host& host);
// One Wi-Fi phone, or every one when no address is given.
bool Disconnect(bridge::Host& host, const std::optional<Address>& address);

} // namespace wifi
