#pragma once

namespace arvestra {

// The value scales that turn a stored parameter code into a physical value.
enum class Scale {
    None,            // a flag, a choice or a routing code: the code is the value
    Frequency,       // Hz, codes 0..100
    GraphicGain,     // dB, codes 0..60
    ParametricGain,  // dB, codes 0..121
    Bandwidth,       // width relative to the centre frequency, codes 0..39
    GraphicQ,        // Q, codes 0..18
    Attack,          // ms, codes 0..100
    Release,         // ms, codes 0..95
    Threshold,       // dB, codes 0..200
    Ratio,           // x:1, codes 0..39
    CompressorGain,  // dB, codes 0..80
    PinkNoiseLevel,  // dB, codes 0..80
    Level,           // dB, codes 152..232
    Delay,           // seconds, samples 0..65536
    Temperature,     // deg F, tenths 0..1500
};

}  // namespace arvestra
