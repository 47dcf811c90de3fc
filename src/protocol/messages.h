#pragma once
// The messages between this product's processor and controller: ids and
// attribute names as they travel over the connection point. (The
// framework's own, activation and latency, are in framework/messages.h.)

namespace tarvel::messages {

// Controller to processor when Speed changes: float speedValue, the new
// normalised value. The processor answers with the framework's latency
// message.
inline constexpr char speedChanged[] = "u1";
inline constexpr char speedValue[] = "uk0";

// Controller to processor on every tick of an editor's timer: asks for the
// meter, answered with meterReading (float meterValue, the loudness; the
// readout's float outputValue, gainValue and sideGainValue, and int
// stereoFlag).
inline constexpr char meterRequest[] = "u2";
inline constexpr char meterReading[] = "u0";
inline constexpr char meterValue[] = "uk1";
inline constexpr char outputValue[] = "uk2";
inline constexpr char gainValue[] = "uk3";
inline constexpr char sideGainValue[] = "uk4";
inline constexpr char stereoFlag[] = "uk5";

} // namespace tarvel::messages
