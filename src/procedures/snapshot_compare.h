#pragma once

#include <string>
#include <vector>

#include "procedures/device_snapshot.h"

namespace tandrin {

// One field that differs: its key ("tag", "sensor1.type", ...) and the two
// values as plain UTF-8 texts ("-" where the field does not apply).
struct FieldDifference {
    std::string field;
    std::string snapshot;
    std::string device;
    bool operator==(const FieldDifference&) const = default;
};

// The polling address and final assembly number are compared only when
// asked for: a replacement often keeps its own.
struct CompareScope {
    bool withAddress = false;
    bool withFinalAssembly = false;
};

// Field by field, in the order the pages show them. Numbers count as equal
// within what a float and the pages' three decimals keep; texts as the
// transmitter keeps them (upper case, without trailing blanks).
std::vector<FieldDifference> CompareSnapshots(const DeviceSnapshot& saved,
                                              const DeviceSnapshot& device, CompareScope scope);

// The field's name in the interface language (interface code page).
std::string FieldCaption(const std::string& field);
// A plain value as the pages show it in the interface language: sensor
// types, work modes, display lists and the Celsius unit by their texts.
std::string FieldValueText(const std::string& field, const std::string& plain);

// A float as its shortest text ("0.5", "100").
std::string FloatText(double value);

}  // namespace tandrin
