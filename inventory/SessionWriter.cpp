// The writer of the session file's text: one fixed layout for a given state, built in one buffer.
#include "inventory/CodePage.h"
#include "inventory/SessionFile.h"

#include <charconv>

namespace orvelle {

namespace {

// A string line carries at most this many UTF-16 units.
constexpr std::size_t UnitsPerLine = 64;

class TTextWriter {
public:
    explicit TTextWriter(std::string& output) : FOutput(output) {}

    void Raw(std::string_view text) { FOutput += text; }
    void Indent() { FOutput.append(static_cast<std::size_t>(FLevel) * 2, ' '); }
    void LineEnd() { FOutput += "\r\n"; }
    void LineBreak() {
        LineEnd();
        Indent();
    }
    void Deeper() { ++FLevel; }
    void Shallower() { --FLevel; }

    void Integer(std::int32_t value) {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        FOutput.append(digits, result.ptr);
    }

    // The escaped and wrapped form of a code-page text: quoted runs of plain characters, "#code" for
    // every other unit, a new line after each 64 units.
    void String(std::string_view text);

    // "Name = " at the current indent, VALUE written by the caller, then the line end.
    template<class Write>
    void Property(std::string_view name, Write&& value) {
        Indent();
        FOutput += name;
        FOutput += " = ";
        value();
        LineEnd();
    }

    void StringList(const std::vector<std::string>& entries);

private:
    std::string& FOutput;
    int FLevel = 0;
};

// Plain: printable ASCII except the apostrophe. Each byte is one UTF-16 unit in the code page.
bool IsPlain(unsigned char byte) {
    return byte >= 0x20 && byte <= 0x7F && byte != '\'';
}

void TTextWriter::String(std::string_view text) {
    const std::size_t length = text.size();
    if (length == 0) {
        FOutput += "''";
        return;
    }
    Deeper();
    if (length > UnitsPerLine)
        LineBreak();
    std::size_t position = 0;
    std::size_t lineStart = 0;
    while (position < length) {
        const auto unit = static_cast<unsigned char>(text[position]);
        if (IsPlain(unit)) {
            std::size_t end = position + 1;
            while (end < length && IsPlain(static_cast<unsigned char>(text[end])) &&
                   end - lineStart < UnitsPerLine)
                ++end;
            FOutput += '\'';
            FOutput.append(text.data() + position, end - position);
            FOutput += '\'';
            position = end;
        } else {
            FOutput += '#';
            Integer(CodePageToUnicode(unit));
            ++position;
        }
        if (position - lineStart >= UnitsPerLine && position < length) {
            FOutput += " +";
            LineBreak();
            lineStart = position;
        }
    }
    Shallower();
}

void TTextWriter::StringList(const std::vector<std::string>& entries) {
    FOutput += '(';
    Deeper();
    for (const std::string& entry : entries) {
        LineBreak();
        String(entry);
    }
    Shallower();
    FOutput += ')';
}

void WriteDevice(TTextWriter& writer, const TBTDevice& device) {
    const auto text = [&writer](std::string_view name, const std::string& value) {
        if (!value.empty())
            writer.Property(name, [&] { writer.String(value); });
    };
    const auto number = [&writer](std::string_view name, std::int32_t value) {
        if (value != 0)
            writer.Property(name, [&] { writer.Integer(value); });
    };
    text("Name", device.Name);
    text("Address", device.Address);
    if (device.Type != dtOther)
        writer.Property("Type", [&] { writer.Raw(DeviceTypeName(device.Type)); });
    number("MajorClass", device.MajorClass());
    number("MinorClass", device.MinorClass());
    number("FirstSeen", device.FirstSeen);
    number("LastSeen", device.LastSeen);
    number("SeenCount", device.SeenCount);
    number("Flags", device.Flags);
    text("RawSDPStream", device.RawSDPStream);
    if (!device.RawSDPRecords.empty())
        writer.Property("RawSDPRecords.Strings", [&] { writer.StringList(device.RawSDPRecords.Items()); });
    text("Location", device.Location);
}

void WriteDeviceList(TTextWriter& writer, const TDeviceList& list) {
    writer.Raw("<");
    writer.Deeper();
    for (int i = 0; i < list.Count(); ++i) {
        writer.LineBreak();
        writer.Raw("item");
        writer.LineEnd();
        writer.Deeper();
        WriteDevice(writer, list.GetDevice(i));
        writer.Shallower();
        writer.Indent();
        writer.Raw("end");
    }
    writer.Raw(">");
    writer.Shallower();
}

// A rough size of the text, so that the buffer grows at most a few times: escapes make records
// longer than their bytes.
std::size_t EstimatedSize(const TSessionState& state) {
    std::size_t size = 256;
    for (const std::string& line : state.Log)
        size += line.size() + 16;
    const TDeviceList& list = state.DeviceList();
    for (int i = 0; i < list.Count(); ++i) {
        const TBTDevice& device = list.GetDevice(i);
        size += 256 + device.Name.size() + device.Location.size() + device.RawSDPStream.size() * 3;
        for (const std::string& record : device.RawSDPRecords)
            size += record.size() * 3 + 16;
    }
    return size;
}

} // namespace

std::string ComponentToText(const TSessionState& state) {
    std::string output;
    output.reserve(EstimatedSize(state));
    TTextWriter writer(output);
    writer.Raw("object ");
    if (!state.Name.empty()) {
        writer.Raw(state.Name);
        writer.Raw(": ");
    }
    writer.Raw("TSessionState");
    writer.LineEnd();
    writer.Deeper();
    writer.Property("DeviceList", [&] { WriteDeviceList(writer, state.DeviceList()); });
    if (!state.LocationList.empty())
        writer.Property("LocationList.Strings", [&] { writer.StringList(state.LocationList); });
    if (!state.Location().empty())
        writer.Property("Location", [&] { writer.String(state.Location()); });
    if (!state.Log.empty())
        writer.Property("Log.Strings", [&] { writer.StringList(state.Log); });
    if (state.HideInactive)
        writer.Property("HideInactive", [&] { writer.Raw("True"); });
    if (!state.FoundSound.empty())
        writer.Property("FoundSound", [&] { writer.String(state.FoundSound); });
    writer.Shallower();
    writer.Raw("end");
    writer.LineEnd();
    return output;
}

} // namespace orvelle
