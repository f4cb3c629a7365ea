#include "remote/RemoteCommand.h"

#include <array>
#include <cmath>
#include <span>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include "document/EditPath.h"
#include "document/RemoteControl.h"
#include "model/Latin1.h"
#include "remote/PresetNameText.h"

namespace arvestra::remote {

namespace {

// The fields a page may change: the levels and the equaliser's values. Routing, configuration,
// Master links and names stay with the editor.
constexpr std::array kRemoteFields = {
    ParamField::InputLevel,       ParamField::OutputLevel,      ParamField::EqType,
    ParamField::EqBypass,         ParamField::EqGraphicQ,       ParamField::EqGraphicGain,
    ParamField::EqParamFrequency, ParamField::EqParamBandwidth, ParamField::EqParamGain,
    ParamField::EqParamBypass,
};

// Codes beyond this are no code of any field: a garbled message, not a value to limit.
constexpr double kCodeBound = 1e6;

std::optional<ParamField> RemoteField(const QJsonValue& value) {
    if (!value.isString()) return std::nullopt;
    const std::optional<ParamField> field = FieldByName(value.toString().toStdString());
    if (!field) return std::nullopt;
    for (const ParamField allowed : kRemoteFields) {
        if (allowed == *field) return field;
    }
    return std::nullopt;
}

// A whole number within [lowest, highest]; empty otherwise.
std::optional<long long> WholeNumber(const QJsonValue& value, double lowest, double highest) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number)) return std::nullopt;
    if (number < lowest || number > highest) return std::nullopt;
    return static_cast<long long>(number);
}

bool ParseSet(const QJsonObject& object, RemoteCommand& command) {
    const std::optional<ParamField> field = RemoteField(object.value("field"));
    if (!field) return false;
    const FieldDescriptor& info = FieldInfo(*field);
    const auto channel = WholeNumber(object.value("ch"), 0, 1);
    const auto index =
        WholeNumber(object.value("i").isUndefined() ? QJsonValue(0) : object.value("i"), 0,
                    info.indexCount - 1);
    const auto code = WholeNumber(object.value("code"), -kCodeBound, kCodeBound);
    if (!channel || !index || !code) return false;
    command.field = *field;
    command.channel = static_cast<int>(*channel);
    command.index = static_cast<int>(*index);
    command.code = *code;
    return true;
}

bool ParseBypass(const QJsonObject& object, RemoteCommand& command) {
    const auto channel = WholeNumber(object.value("ch"), 0, 1);
    if (!channel || !object.value("on").isBool()) return false;
    command.channel = static_cast<int>(*channel);
    command.on = object.value("on").toBool();
    return true;
}

bool ParsePresetAndName(const QJsonObject& object, RemoteCommand& command) {
    const auto preset = WholeNumber(object.value("preset"), kFirstPreset, kLastPreset);
    if (!preset) return false;
    command.preset = static_cast<int>(*preset);
    const QJsonValue name = object.value("name");
    if (!name.isUndefined()) {
        if (!name.isString() || name.toString().size() > kMaxNameChars) return false;
        command.name = CleanPresetName(name.toString());
    }
    const QJsonValue discard = object.value("discard");
    if (!discard.isUndefined()) {
        if (!discard.isBool()) return false;
        command.discard = discard.toBool();
    }
    return true;
}

bool ParseObject(const QJsonObject& object, RemoteCommand& command) {
    const QString kind = object.value("t").toString();
    if (kind == "set") {
        command.kind = CommandKind::Set;
        return ParseSet(object, command);
    }
    if (kind == "bypass") {
        command.kind = CommandKind::Bypass;
        return ParseBypass(object, command);
    }
    if (kind == "device") {
        command.kind = CommandKind::Device;
        const auto address = WholeNumber(object.value("address"), kFirstAddress, kMaxAddress);
        if (!address) return false;
        command.address = static_cast<int>(*address);
        return true;
    }
    if (kind == "recall") {
        command.kind = CommandKind::Recall;
        return ParsePresetAndName(object, command) && !command.name;
    }
    if (kind == "store") {
        command.kind = CommandKind::Store;
        return ParsePresetAndName(object, command);
    }
    return false;
}

CommandResult Failed(std::string text) {
    return CommandResult{false, std::move(text)};
}

CommandResult Recall(IRemoteControl& doc, const RemoteCommand& command) {
    if (doc.Devices().PresetModified() && !command.discard) {
        return Failed("The current preset has been modified; store it or discard the changes.");
    }
    if (!doc.RecallPresetDiscardingEdits(command.preset)) {
        return Failed("The preset was not recalled.");
    }
    return {};
}

CommandResult Store(IRemoteControl& doc, const RemoteCommand& command) {
    std::optional<std::string> latin1Name;
    if (command.name) latin1Name = Utf8ToLatin1(*command.name);
    switch (doc.StorePresetAs(command.preset, latin1Name)) {
        case IRemoteControl::StoreOutcome::NameNotSent:
            return Failed("The preset name was not sent.");
        case IRemoteControl::StoreOutcome::NotStored:
            return Failed("The preset was not stored.");
        case IRemoteControl::StoreOutcome::Stored:
            break;
    }
    return {};
}

}  // namespace

std::optional<RemoteCommand> ParseRemoteCommand(const QByteArray& message) {
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(message, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) return std::nullopt;
    RemoteCommand command;
    if (!ParseObject(json.object(), command)) return std::nullopt;
    return command;
}

CommandResult ApplyRemoteCommand(IRemoteControl& doc, const RemoteCommand& command) {
    if (command.kind == CommandKind::Device) {
        if (!doc.Devices().IsDevicePresent(command.address))
            return Failed("There is no such device.");
        if (!doc.EditDevice(command.address)) return Failed("The device did not answer.");
        return {};
    }
    if (doc.Devices().CurrentSlot() == kNoDevice) return Failed("No device is being edited.");
    switch (command.kind) {
        case CommandKind::Set: {
            const ParamEdit edit =
                FieldEdit(command.field, command.channel, command.index, command.code);
            doc.ApplyEdits(std::span<const ParamEdit>(&edit, 1), EditReason::Remote);
            return {};
        }
        case CommandKind::Bypass: {
            const int done = doc.SetBypass(command.channel, command.on);
            return done ? CommandResult{} : Failed("The bypass was not sent.");
        }
        case CommandKind::Recall:
            return Recall(doc, command);
        case CommandKind::Store:
            return Store(doc, command);
        case CommandKind::Device:
            break;
    }
    return {};
}

}  // namespace arvestra::remote
