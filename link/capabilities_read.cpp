#include "link/capabilities_read.h"

#include <cstdio>

#include "link/request_reply.h"

namespace velmora::link {

namespace {

std::string offsetText(std::size_t offset) {
    char text[8];
    std::snprintf(text, sizeof text, "%04zXh", offset);
    return text;
}

}  // namespace

CapabilitiesTransfer readCapabilities(MonitorLink& link, platform::Clock& clock, std::int32_t gapMs) {
    CapabilitiesTransfer transfer;
    std::string text;
    bool askedAgain = false;
    while (transfer.fragments < kMaxCapabilitiesFragments) {
        const std::size_t offset = text.size();
        if (transfer.fragments > 0 && gapMs > 0) clock.sleepMilliseconds(gapMs);
        const ReplyView reply =
            exchange(link, Request{kCapabilitiesRequest, static_cast<std::uint8_t>(offset >> 8),
                                   static_cast<std::uint8_t>(offset & 0xFF)},
                     kCapabilitiesReplyWaitMs);
        if (!reply.received()) {
            transfer.failure = "no reply to the capabilities request at offset " + offsetText(offset);
            return transfer;
        }
        if (!reply.carries(kCapabilitiesReplyHeader) || reply.opcode() != kCapabilitiesReply) {
            transfer.failure = "the reply at offset " + offsetText(offset) + " is no capabilities reply";
            return transfer;
        }
        ++transfer.fragments;
        const std::size_t echoed = (std::size_t{*reply.payload(1)} << 8) | *reply.payload(2);
        if (echoed != offset) {
            if (askedAgain) {
                transfer.failure = "the monitor answered offset " + offsetText(echoed) + " when asked for " +
                                   offsetText(offset);
                return transfer;
            }
            askedAgain = true;
            continue;
        }
        askedAgain = false;
        const std::size_t length = reply.payloadLength() - kCapabilitiesReplyHeader;
        if (length == 0) {
            transfer.text = std::move(text);
            return transfer;
        }
        if (text.size() + length > kMaxCapabilitiesLength) {
            transfer.failure = "the capabilities string is longer than " + std::to_string(kMaxCapabilitiesLength) +
                               " bytes; the monitor does not end it";
            return transfer;
        }
        for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>(*reply.payload(kCapabilitiesReplyHeader + i)));
    }
    transfer.failure = "the monitor sent " + std::to_string(kMaxCapabilitiesFragments) +
                       " fragments without the empty one that ends the string";
    return transfer;
}

}  // namespace velmora::link
