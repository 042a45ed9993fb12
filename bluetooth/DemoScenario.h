// The simulated radio's built-in demo: a dozen typical devices with their service records, coming
// and going over the day, and one local radio.
#pragma once

#include "bluetooth/Scenario.h"

#include <string>

namespace orvelle {

// Seconds the demo's comings and goings last; after that only the devices that never leave remain.
inline constexpr std::int64_t DemoHorizon = 24 * 60 * 60;

TScenario DemoScenario();

// The demo in its file form, as resources/demo-scenario.json holds it.
std::string DemoScenarioText();

} // namespace orvelle
