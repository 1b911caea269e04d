#include "Sensors.h"

#include "core/configure/FamilySettings.h"
#include "core/levelprobe/LevelScanSeries.h"
#include "core/levelprobe/LevelSensors.h"
#include "core/link/Link.h"
#include "core/logging/Logger.h"
#include "core/rotary/RotaryScanSeries.h"
#include "core/rotary/RotarySensors.h"

namespace session {

Sensors::Sensors(sdilink::Link& link, logging::Logger& logger, bool rotary, Notice notice)
    : link_(link), rotary_(rotary) {
    if (rotary) {
        auto encoders = std::make_unique<rotary::RotarySensors>(link, logger);
        series_ = std::make_unique<rotary::RotaryScanSeries>(*encoders);
        settings_ = std::make_unique<configure::RotarySettings>(*encoders);
        family_ = std::move(encoders);
    } else {
        auto probes = std::make_unique<levelprobe::LevelSensors>(link, logger, calibration_);
        probes->setNotice(notice);
        series_ = std::make_unique<levelprobe::LevelScanSeries>(*probes);
        settings_ = std::make_unique<configure::LevelSettings>(*probes);
        family_ = std::move(probes);
    }
    decoder_ = std::make_unique<protocol::Decoder>(link, *family_, std::move(notice));
    link.setHandler(decoder_.get());
    link.setDataRequestCode(family_->dataRequestCode());
    logger.setFamily(family_.get(), {});
    scan_ = std::make_unique<discovery::BusScan>(link, *family_, *series_);
    session_ = std::make_unique<Session>(link, *family_, *settings_, logger);
}

Sensors::~Sensors() {
    // A sequence still waiting ends now, while everything it refers to is still there.
    if (link_.waiting())
        link_.setReplyStatus(sdilink::Link::Abandoned);
    link_.setHandler(nullptr);
}

} // namespace session
