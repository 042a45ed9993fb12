// The writer of the session file's text: one fixed layout for a given state, built in one buffer.
#include "bluetooth/sdp/CodePage.h"
#include "inventory/SessionFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace orvelle {

namespace {

// A string line carries at most this many UTF-16 units.
constexpr std::size_t UnitsPerLine = 64;

// Size of the pieces handed to a sink: large enough for few writes, small enough to stay in cache.
constexpr std::size_t PieceSize = std::size_t{1} << 20;

class TTextWriter {
public:
    // Without a sink the whole text stays in OUTPUT; with one, OUTPUT is handed over and emptied
    // whenever it holds a piece's worth at a point where Flush is called.
    TTextWriter(std::string& output, const TByteSink* sink) : FOutput(output), FSink(sink) {}

    void Flush(std::size_t atLeast = PieceSize) {
        if (FSink != nullptr && FOutput.size() >= atLeast && !FOutput.empty()) {
            (*FSink)(FOutput);
            FOutput.clear();
        }
    }

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
    const TByteSink* FSink;
    int FLevel = 0;
};

// Plain: printable ASCII except the apostrophe. Each byte is one UTF-16 unit in the code page.
constexpr bool IsPlain(unsigned char byte) {
    return byte >= 0x20 && byte <= 0x7F && byte != '\'';
}

// "#code" of every byte, made once: the code page's Unicode code in decimal, at most five characters.
// Eight bytes a slot, so that an escape is copied as one word and the cursor advanced by its length.
struct TEscape {
    char Text[7];
    unsigned char Length;
};

const std::array<TEscape, 256> Escapes = [] {
    std::array<TEscape, 256> escapes{};
    for (std::size_t byte = 0; byte < escapes.size(); ++byte) {
        TEscape& escape = escapes[byte];
        escape.Text[0] = '#';
        const auto result =
            std::to_chars(escape.Text + 1, escape.Text + sizeof escape.Text,
                          static_cast<unsigned>(CodePageToUnicode(static_cast<unsigned char>(byte))));
        escape.Length = static_cast<unsigned char>(result.ptr - escape.Text);
    }
    return escapes;
}();

void TTextWriter::String(std::string_view text) {
    const std::size_t length = text.size();
    if (length == 0) {
        FOutput += "''";
        return;
    }
    Deeper();
    // Written through a pointer into room made beforehand: at most five characters a unit, a
    // continuation (" +", line end, indent) for each line, and the slack of one escape slot.
    const std::size_t indent = static_cast<std::size_t>(FLevel) * 2;
    const std::size_t used = FOutput.size();
    FOutput.resize(used + 5 * length + (length / UnitsPerLine + 2) * (4 + indent) + sizeof(TEscape));
    char* out = FOutput.data() + used;
    const auto lineBreak = [&out, indent] {
        *out++ = '\r';
        *out++ = '\n';
        out = std::fill_n(out, indent, ' ');
    };
    if (length > UnitsPerLine)
        lineBreak();
    std::size_t position = 0;
    std::size_t lineStart = 0;
    while (position < length) {
        const auto unit = static_cast<unsigned char>(text[position]);
        if (IsPlain(unit)) {
            const std::size_t limit = std::min(length, lineStart + UnitsPerLine);
            std::size_t end = position + 1;
            while (end < limit && IsPlain(static_cast<unsigned char>(text[end])))
                ++end;
            *out++ = '\'';
            out = std::copy(text.data() + position, text.data() + end, out);
            *out++ = '\'';
            position = end;
        } else {
            const TEscape& escape = Escapes[unit];
            std::memcpy(out, escape.Text, sizeof escape.Text);
            out += escape.Length;
            ++position;
        }
        if (position - lineStart >= UnitsPerLine && position < length) {
            *out++ = ' ';
            *out++ = '+';
            lineBreak();
            lineStart = position;
        }
    }
    FOutput.resize(static_cast<std::size_t>(out - FOutput.data()));
    Shallower();
}

void TTextWriter::StringList(const std::vector<std::string>& entries) {
    FOutput += '(';
    Deeper();
    for (const std::string& entry : entries) {
        LineBreak();
        String(entry);
        Flush();
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
        writer.Flush();
    }
    writer.Raw(">");
    writer.Shallower();
}

// Room for the whole text, so that the buffer is never copied while it grows: an escape takes up to
// five characters a byte. Pages of the room that stay unused are never touched.
std::size_t EstimatedSize(const TSessionState& state) {
    std::size_t size = 4096;
    const auto add = [&size](const std::string& text) { size += 5 * text.size() + 64; };
    std::for_each(state.Log.begin(), state.Log.end(), add);
    std::for_each(state.LocationList.begin(), state.LocationList.end(), add);
    const TDeviceList& list = state.DeviceList();
    for (int i = 0; i < list.Count(); ++i) {
        const TBTDevice& device = list.GetDevice(i);
        size += 512;
        add(device.Name);
        add(device.Address);
        add(device.Location);
        add(device.RawSDPStream);
        std::for_each(device.RawSDPRecords.begin(), device.RawSDPRecords.end(), add);
    }
    return size;
}

} // namespace

namespace {

void WriteState(TTextWriter& writer, const TSessionState& state) {
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
    writer.Flush(0);
}

} // namespace

std::string ComponentToText(const TSessionState& state) {
    std::string output;
    output.reserve(EstimatedSize(state));
    TTextWriter writer(output, nullptr);
    WriteState(writer, state);
    return output;
}

void WriteComponent(const TSessionState& state, const TByteSink& sink) {
    std::string piece;
    piece.reserve(2 * PieceSize);
    TTextWriter writer(piece, &sink);
    WriteState(writer, state);
}

} // namespace orvelle
