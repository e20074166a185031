#pragma once
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace velmora::apps::jigctl {

// Where the ways to a monitor are looked for.
struct DetectPlaces {
    std::string devices = "/dev";                    // i2c-N and parportN nodes
    std::string sysfs = "/sys";                      // what each adapter is and which connector it serves
};

// velmora-jigctl detect: every display channel of a graphics card with its
// adapter name and connector, whether an EDID answers at 0x50 (its monitor
// name, manufacturer, product code and serial) and, on a channel with an
// EDID, whether DDC/CI answers at 0x37 (other i2c adapters are listed, not
// probed); every parallel
// port with whether the interface board answers its line test and an EDID
// behind it. With `bench`, the bench monitor both ways instead. With `json`
// set the findings go into it as {found, displayChannels: [...],
// parallelPorts: [...]} instead of lines on `out`. Returns the exit status:
// 0 when a monitor answered somewhere, 1 when none did.
int detectMonitors(const DetectPlaces& places, bool bench, std::ostream& out, std::ostream& err,
                   nlohmann::json* json = nullptr);

}  // namespace velmora::apps::jigctl
