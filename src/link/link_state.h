#pragma once

// The states of the link and the codes it notifies.

#include <cstdint>

namespace instrument_link {

enum class LinkState : std::uint8_t {
  Offline,
  Waiting,          // on-line, waiting for an acquisition to start
  Name,             // session opened, asking for the acquisition's name
  Header,
  Data,
  SecondHeader,     // a temperature run: the whole file after the data
  Ending,           // waiting for the end of the acquisition, closing the session
};

const char* linkStateName(LinkState state);

// Notification codes of the link (the parameter is 0 for every code).
inline constexpr int kLinkLost = 1;
inline constexpr int kNewAcquisition = 2;
inline constexpr int kAcquisitionFinished = 3;
inline constexpr int kAcquisitionFinishedToo = 4;  // handled like 3
inline constexpr int kHeaderReady = 8;
inline constexpr int kSecondHeaderReady = 9;

// Server events.
inline constexpr std::uint32_t kEventStarted = 0;
inline constexpr std::uint32_t kEventComplete = 2;
inline constexpr std::uint32_t kEventAborted = 3;

// Header block statuses, data block statuses.
inline constexpr std::int32_t kHeaderNothingYet = 0;
inline constexpr std::int32_t kHeaderLastBlock = 1;
inline constexpr std::int32_t kHeaderMoreToFollow = 2;
inline constexpr std::int32_t kDataNotYet = 5;
inline constexpr std::int32_t kDataLastBlock = 6;

}  // namespace instrument_link
