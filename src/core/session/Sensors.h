#pragma once

#include "Session.h"
#include "core/discovery/BusScan.h"
#include "core/levelprobe/CalibrationState.h"
#include "core/protocol/Decoder.h"

#include <memory>

namespace configure {
class SettingsAccess;
}
namespace logging {
class Logger;
}
namespace protocol {
class Family;
class ScanSeries;
} // namespace protocol

namespace session {

// The chosen family's sensors on a link, as a program without a window puts them together:
// their records (the family), the scan, the settings table, the decoder the link hands its
// replies to, and the session over them. The link and the logger are the caller's and
// outlive it.
class Sensors {
public:
    using Notice = protocol::Decoder::Notice;

    // `notice` hears what the window would show in a box (a reply no branch knows, a
    // sequence that stopped).
    Sensors(sdilink::Link& link, logging::Logger& logger, bool rotary, Notice notice);
    ~Sensors();
    Sensors(const Sensors&) = delete;
    Sensors& operator=(const Sensors&) = delete;

    bool rotary() const { return rotary_; }
    protocol::Family& family() { return *family_; }
    const protocol::Family& family() const { return *family_; }
    configure::SettingsAccess& settings() { return *settings_; }
    protocol::Decoder& decoder() { return *decoder_; }
    discovery::BusScan& scan() { return *scan_; }
    Session& session() { return *session_; }
    levelprobe::CalibrationState& calibration() { return calibration_; }

private:
    sdilink::Link& link_;
    bool rotary_;
    levelprobe::CalibrationState calibration_;
    std::unique_ptr<protocol::Family> family_;
    std::unique_ptr<protocol::ScanSeries> series_;
    std::unique_ptr<configure::SettingsAccess> settings_;
    std::unique_ptr<protocol::Decoder> decoder_;
    std::unique_ptr<discovery::BusScan> scan_;
    std::unique_ptr<Session> session_;
};

} // namespace session
