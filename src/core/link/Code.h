#pragma once

#include <QtGlobal>

namespace sdilink {

// The transaction code: which request a transaction sends and so which reply branch reads
// its answer. The numbers are fixed: the comms behaviour and the tests name them, and a
// query and its set share a reply branch.
enum class Code : qint16 {
    // "a!": its answer only says that a sensor is there.
    Acknowledge = -1,

    // Level probes.
    AddressQuery = 0,          // ?!
    AddressChange = 1,         // aAb!
    PressUnitsQuery = 2,       // aXUP!
    PressUnitsSet = 3,         // aXUP{code}!
    TempUnitsQuery = 4,        // aXUT!
    TempUnitsSet = 5,          // aXUT{digit}!
    DensityCorrQuery = 6,      // aXP!
    DensityCorrSet = 7,        // aXP{digit}!
    LocalGravityQuery = 8,     // aXE!
    LocalGravitySet = 9,       // aXE{text}!
    Identification = 10,       // aI!
    Measure = 11,              // aM!
    Data = 12,                 // aD0!
    RangeQuery = 13,           // aXRA!
    RangeSet = 14,             // aXRA{text}!
    MaxOverRangeQuery = 15,    // aXMOR!
    MaxOverRangeSet = 16,      // aXMOR{text}!
    ReverseQuery = 17,         // aXREV!
    ReverseSet = 18,           // aXREV{digit}!
    LevelQuery = 19,           // aXLOF!
    LevelSet = 20,             // aXLOF{text}!
    LocalOffsetQuery = 21,     // aXLOC!
    LocalOffsetSet = 22,       // aXLOC{digit}!
    UnlockQuery = 23,          // aXUNLK!
    UnlockSet = 24,            // aXUNLK{digit}!
    SerialNumberQuery = 25,    // aXSN!
    FilterQuery = 26,          // aXF!
    FilterSet = 27,            // aXF0,nn,mmmm!
    AutoZero = 28,             // aXSPM0.0!, answered like a measurement
    SpecificGravitySet = 29,   // aXU0,{reciprocal}!
    SpecificGravityQuery = 30, // aXU0!
    LevelOffset = 31,          // aXSPM{text}!, answered like a measurement
    TrimOff = 32,              // aXTRIMOF0.0!
    TrimOn = 33,               // aXTRIMON{digit}!
    ZeroCorrectionSet = 34,    // aXANCLV0,{text}!
    SlopeSet = 35,             // aXANCLV1,{text}!
    XU1Set = 36,               // aXU1,{text}!
    ZeroCorrectionQuery = 37,  // aXANCLV0!
    SlopeQuery = 38,           // aXANCLV1!
    CalibrationOn = 39,        // aXANCALON1!

    // Rotary encoders. 100, 109 and 115 are never sent.
    RotaryAddressChange = 101,      // aAb!
    RotaryUnitsQuery = 102,         // aXMU!
    RotaryUnitsSet = 103,           // aXMU{digit}!
    RotaryCircumferenceQuery = 104, // aXCP!
    RotaryCircumferenceSet = 105,   // aXCP{text}!
    RotaryDirectionQuery = 106,     // aXRD!
    RotaryDirectionSet = 107,       // aXRD{digit}!
    RotaryCountsQuery = 108,        // aXPC!
    RotaryCurrentValueQuery = 110,  // aXCV!
    RotaryCurrentValueSet = 111,    // aXCV{text}!
    RotaryIdentification = 112,     // aI!
    RotarySerialNumberQuery = 113,  // aXSN!
    RotarySetZero = 114,            // aXZE!
    RotaryMeasure = 116,            // aC!
    RotaryData = 117,               // aD0!
};

// The code's number, as the comms log and the tests know it.
constexpr qint16 number(Code code) {
    return static_cast<qint16>(code);
}

} // namespace sdilink
