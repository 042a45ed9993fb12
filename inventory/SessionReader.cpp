// The reader of the session file's text: tokens, structure and the properties applied in file order.
// Any error rejects the whole text; nothing is allocated from a number in the text.
#include "inventory/CodePage.h"
#include "inventory/SessionFile.h"

#include <algorithm>
#include <climits>
#include <strings.h>

namespace orvelle {

namespace {

// Raised inside the reader on any malformed input; the public entry turns it into none.
struct TReadError {};

[[noreturn]] void Reject() {
    throw TReadError{};
}

// Lines longer than this (without their line end) are rejected, as the reader always did.
constexpr std::size_t MaxLineLength = 4094;

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsLetter(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_';
}

bool IsDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

int HexValue(unsigned char byte) {
    if (IsDigit(byte))
        return byte - '0';
    if (byte >= 'a' && byte <= 'f')
        return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F')
        return byte - 'A' + 10;
    return -1;
}

enum TTokenKind { tkEnd, tkIdentifier, tkInteger, tkString, tkSymbol };

class TTokenizer {
public:
    explicit TTokenizer(std::string_view text) : FText(text) { Advance(); }

    TTokenKind Kind() const { return FKind; }
    std::string_view Identifier() const { return FIdentifier; }
    std::int64_t Integer() const { return FInteger; }
    // The decoded code-page text of the current string token.
    std::string_view String() const { return {FString.data(), FStringLength}; }
    bool IsSymbol(char symbol) const { return FKind == tkSymbol && FSymbol == symbol; }
    bool IsKeyword(std::string_view keyword) const {
        return FKind == tkIdentifier && SameText(FIdentifier, keyword);
    }

    void Advance();

    // Checks the length of the line that holds the last token read.
    void CheckLastLine() const;

private:
    unsigned char Byte(std::size_t position) const {
        return position < FText.size() ? static_cast<unsigned char>(FText[position]) : 0;
    }
    void SkipBlanks();
    void CheckLine(std::size_t end) const;
    void ReadIdentifier();
    void ReadNumber();
    void ReadHexNumber();
    void ReadString();
    bool DecodeString(bool unicodeQuotes);
    std::size_t Digits(std::size_t position, std::uint64_t limit, std::uint64_t& value) const;

    std::string_view FText;
    std::size_t FPosition = 0;
    std::size_t FLineStart = 0;
    TTokenKind FKind = tkEnd;
    std::string_view FIdentifier;
    std::int64_t FInteger = 0;
    char FSymbol = 0;
    // The decoded text of the current string token: the first FStringLength bytes of a buffer made
    // once, as long as the longest line the reader accepts.
    std::string FString = std::string(MaxLineLength + 2, '\0');
    std::size_t FStringLength = 0;
};

void TTokenizer::SkipBlanks() {
    for (;;) {
        const unsigned char byte = Byte(FPosition);
        if (byte == 0 || byte > ' ')
            return;
        if (byte == '\n') {
            CheckLine(FPosition);
            FLineStart = FPosition + 1;
        }
        ++FPosition;
    }
}

// The line from FLineStart to the line feed (or the text's end) at END, its CR not counted.
void TTokenizer::CheckLine(std::size_t end) const {
    const std::size_t length = end - FLineStart - (end > FLineStart && Byte(end - 1) == '\r' ? 1 : 0);
    if (length > MaxLineLength)
        Reject();
}

void TTokenizer::CheckLastLine() const {
    std::size_t end = FPosition;
    while (Byte(end) != 0 && Byte(end) != '\n')
        ++end;
    CheckLine(end);
}

void TTokenizer::Advance() {
    SkipBlanks();
    const unsigned char byte = Byte(FPosition);
    if (byte == 0) {
        FKind = tkEnd;
    } else if (IsLetter(byte)) {
        ReadIdentifier();
    } else if (IsDigit(byte) || byte == '-') {
        ReadNumber();
    } else if (byte == '$') {
        ReadHexNumber();
    } else if (byte == '\'' || byte == '#') {
        ReadString();
    } else {
        FKind = tkSymbol;
        FSymbol = static_cast<char>(byte);
        ++FPosition;
    }
}

void TTokenizer::ReadIdentifier() {
    const std::size_t start = FPosition;
    while (IsLetter(Byte(FPosition)) || IsDigit(Byte(FPosition)))
        ++FPosition;
    FKind = tkIdentifier;
    FIdentifier = FText.substr(start, FPosition - start);
}

// Reads decimal digits from POSITION into VALUE; a value above LIMIT rejects the text. Returns the
// position after the digits.
std::size_t TTokenizer::Digits(std::size_t position, std::uint64_t limit, std::uint64_t& value) const {
    value = 0;
    for (; IsDigit(Byte(position)); ++position) {
        value = value * 10 + (Byte(position) - '0');
        if (value > limit)
            Reject();
    }
    return position;
}

// Integers are kept within 32 bits (with the sign, 2^31 for the smallest); a number that goes on
// like a floating-point one is rejected, since no property takes one.
void TTokenizer::ReadNumber() {
    const bool negative = Byte(FPosition) == '-';
    const std::size_t start = FPosition + (negative ? 1 : 0);
    if (!IsDigit(Byte(start)))
        Reject();
    std::uint64_t magnitude = 0;
    FPosition = Digits(start, 0x80000000u, magnitude);
    switch (Byte(FPosition)) {
    case '.':
    case 'e':
    case 'E':
    case 'c':
    case 'C':
    case 'd':
    case 'D':
    case 's':
    case 'S':
        Reject();
    default:
        break;
    }
    FKind = tkInteger;
    FInteger = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
}

void TTokenizer::ReadHexNumber() {
    std::size_t position = FPosition + 1;
    std::uint64_t value = 0;
    for (; HexValue(Byte(position)) >= 0; ++position) {
        value = value * 16 + static_cast<std::uint64_t>(HexValue(Byte(position)));
        if (value > 0xFFFFFFFFu)
            Reject();
    }
    if (position == FPosition + 1)
        Reject();
    FPosition = position;
    FKind = tkInteger;
    FInteger = static_cast<std::int64_t>(value);
}

// The code-page byte of a Unicode code; '?' for a character the code page lacks.
char FromUnicode(std::uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    const int byte = UnicodeToCodePage(code);
    return byte < 0 ? '?' : static_cast<char>(byte);
}

bool IsQuotedRunByte(unsigned char byte) {
    return byte != '\'' && byte != 0 && byte != '\r' && byte != '\n' && (byte < 0x80 || byte >= 0xA0);
}

// Quoted parts and "#code" escapes without blanks between them. With an escape above 127 the whole
// token is Unicode (quoted bytes become the codes of their value); otherwise it is 8-bit text taken
// byte for byte. Either way the result is code-page text. The two readings differ only for quoted
// bytes 0x80 to 0x9F, so a token is decoded as 8-bit text first and again only when it holds both
// such a byte and an escape above 127.
void TTokenizer::ReadString() {
    const std::size_t start = FPosition;
    if (DecodeString(false)) {
        FPosition = start;
        DecodeString(true);
    }
    FKind = tkString;
}

// Decodes the string token at FPosition into FString, reading quoted bytes 0x80 to 0x9F as Unicode
// codes when UNICODEQUOTES. Returns true when that choice was wrong for the token.
bool TTokenizer::DecodeString(bool unicodeQuotes) {
    // Every character of the text takes at least one byte of the token, and a token never spans
    // lines, so the rest of the line is room enough. A line longer than the limit is rejected, so
    // running out of the room bounded by the limit rejects the text too.
    const std::string_view rest = FText.substr(FPosition, FString.size());
    char* out = FString.data();
    char* const limit = out + std::min(rest.size(), rest.find('\n'));
    const auto put = [&out, limit](char byte) {
        if (out == limit)
            Reject();
        *out++ = byte;
    };
    bool unicode = false;
    bool quotedHigh = false;
    // A high surrogate escape directly followed by a low one is one character, which the code page
    // lacks: one '?' for the pair.
    bool highSurrogate = false;
    for (;;) {
        const unsigned char byte = Byte(FPosition);
        if (byte == '\'') {
            for (++FPosition;; ++FPosition) {
                const std::size_t run = FPosition;
                while (IsQuotedRunByte(Byte(FPosition)))
                    ++FPosition;
                if (FPosition - run > static_cast<std::size_t>(limit - out))
                    Reject();
                out = std::copy(FText.data() + run, FText.data() + FPosition, out);
                highSurrogate = highSurrogate && FPosition == run;
                const unsigned char inner = Byte(FPosition);
                if (inner == 0 || inner == '\r' || inner == '\n')
                    Reject();
                if (inner == '\'') {
                    if (Byte(FPosition + 1) != '\'')
                        break;
                    ++FPosition;
                    put('\'');
                } else {
                    quotedHigh = true;
                    put(unicodeQuotes ? FromUnicode(inner) : static_cast<char>(inner));
                }
                highSurrogate = false;
            }
            ++FPosition;
        } else if (byte == '#') {
            std::uint32_t code = 0;
            for (++FPosition; IsDigit(Byte(FPosition)); ++FPosition) {
                code = code * 10 + (Byte(FPosition) - '0');
                if (code > 0xFFFF)
                    Reject();
            }
            unicode = unicode || code > 127;
            const bool pair = highSurrogate && code >= 0xDC00 && code <= 0xDFFF;
            if (!pair)
                put(FromUnicode(code));
            highSurrogate = !pair && code >= 0xD800 && code <= 0xDBFF;
        } else {
            FStringLength = static_cast<std::size_t>(out - FString.data());
            return !unicodeQuotes && unicode && quotedHigh;
        }
    }
}

// The structure and the properties. Each property is applied as soon as it is read, through the
// same setters the program uses, so the file's order decides the outcome.
class TSessionReader {
public:
    explicit TSessionReader(std::string_view text) : FTokens(text) {}

    std::unique_ptr<TSessionState> Read();

private:
    void Expect(char symbol);
    std::string_view ExpectIdentifier();
    std::string PropertyPath();
    std::string ReadString();
    std::vector<std::string> ReadStringList();
    std::int32_t ReadInteger();
    bool ReadBoolean();
    void ReadNil();
    void SkipIndex();
    void ReadSessionProperty(TSessionState& state, std::string_view path);
    void ReadDeviceList(TDeviceList& list);
    void ReadDeviceProperty(TBTDevice& device, std::string_view path);

    TTokenizer FTokens;
    std::string FJoined;
    bool FLocationListDropped = false;
    bool FLogDropped = false;
};

void TSessionReader::Expect(char symbol) {
    if (!FTokens.IsSymbol(symbol))
        Reject();
    FTokens.Advance();
}

std::string_view TSessionReader::ExpectIdentifier() {
    if (FTokens.Kind() != tkIdentifier)
        Reject();
    const std::string_view identifier = FTokens.Identifier();
    FTokens.Advance();
    return identifier;
}

std::string TSessionReader::PropertyPath() {
    std::string path(ExpectIdentifier());
    while (FTokens.IsSymbol('.')) {
        FTokens.Advance();
        path += '.';
        path += ExpectIdentifier();
    }
    Expect('=');
    return path;
}

// One string value: string tokens joined by "+".
// One string value: string tokens joined by "+". Joined parts gather in a buffer kept for the
// whole read, so that each value is allocated once, at its size.
std::string TSessionReader::ReadString() {
    if (FTokens.Kind() != tkString)
        Reject();
    FJoined.assign(FTokens.String());
    FTokens.Advance();
    while (FTokens.IsSymbol('+')) {
        FTokens.Advance();
        if (FTokens.Kind() != tkString)
            Reject();
        FJoined += FTokens.String();
        FTokens.Advance();
    }
    return FJoined;
}

std::vector<std::string> TSessionReader::ReadStringList() {
    Expect('(');
    std::vector<std::string> entries;
    while (!FTokens.IsSymbol(')'))
        entries.push_back(ReadString());
    FTokens.Advance();
    return entries;
}

std::int32_t TSessionReader::ReadInteger() {
    if (FTokens.Kind() != tkInteger || FTokens.Integer() < INT32_MIN || FTokens.Integer() > INT32_MAX)
        Reject();
    const auto value = static_cast<std::int32_t>(FTokens.Integer());
    FTokens.Advance();
    return value;
}

bool TSessionReader::ReadBoolean() {
    const bool value = FTokens.IsKeyword("True");
    if (!value && !FTokens.IsKeyword("False"))
        Reject();
    FTokens.Advance();
    return value;
}

void TSessionReader::ReadNil() {
    if (!FTokens.IsKeyword("nil"))
        Reject();
    FTokens.Advance();
}

// An optional "[number]" after a class name or "item", which carries nothing the state keeps.
void TSessionReader::SkipIndex() {
    if (!FTokens.IsSymbol('['))
        return;
    FTokens.Advance();
    if (FTokens.Kind() != tkInteger)
        Reject();
    FTokens.Advance();
    Expect(']');
}

std::unique_ptr<TSessionState> TSessionReader::Read() {
    if (!FTokens.IsKeyword("object") && !FTokens.IsKeyword("inherited") && !FTokens.IsKeyword("inline"))
        Reject();
    FTokens.Advance();
    std::string_view name;
    std::string_view className = ExpectIdentifier();
    if (FTokens.IsSymbol(':')) {
        FTokens.Advance();
        name = className;
        className = ExpectIdentifier();
    }
    SkipIndex();
    if (!SameText(className, "TSessionState"))
        Reject();
    auto state = std::make_unique<TSessionState>();
    state->Name = name;
    while (!FTokens.IsKeyword("end"))
        ReadSessionProperty(*state, PropertyPath());
    FTokens.CheckLastLine();
    return state;
}

void TSessionReader::ReadSessionProperty(TSessionState& state, std::string_view path) {
    if (SameText(path, "DeviceList")) {
        ReadDeviceList(state.DeviceList());
    } else if (SameText(path, "LocationList.Strings") && !FLocationListDropped) {
        state.LocationList = ReadStringList();
    } else if (SameText(path, "LocationList")) {
        ReadNil();
        FLocationListDropped = true;
        state.LocationList.clear();
    } else if (SameText(path, "Location") && !FLocationListDropped) {
        state.SetLocation(ReadString());
    } else if (SameText(path, "Log.Strings") && !FLogDropped) {
        state.Log = ReadStringList();
    } else if (SameText(path, "Log")) {
        ReadNil();
        FLogDropped = true;
        state.Log.clear();
    } else if (SameText(path, "HideInactive")) {
        state.HideInactive = ReadBoolean();
    } else if (SameText(path, "FoundSound")) {
        state.FoundSound = ReadString();
    } else {
        // Unknown properties, and a list or location used after its list was set to nil.
        Reject();
    }
}

// "<" items ">"; a collection with items replaces the list's records, an empty one leaves them.
void TSessionReader::ReadDeviceList(TDeviceList& list) {
    Expect('<');
    bool emptied = false;
    while (!FTokens.IsSymbol('>')) {
        if (!FTokens.IsKeyword("item"))
            Reject();
        FTokens.Advance();
        SkipIndex();
        if (!emptied) {
            list.Clear();
            emptied = true;
        }
        TBTDevice& device = list.AddDevice();
        while (!FTokens.IsKeyword("end"))
            ReadDeviceProperty(device, PropertyPath());
        FTokens.Advance();
    }
    FTokens.Advance();
}

// Device properties that are plain fields, by name.
const std::pair<const char*, std::string TBTDevice::*> DeviceTexts[] = {
    {"Name", &TBTDevice::Name},
    {"Address", &TBTDevice::Address},
    {"RawSDPStream", &TBTDevice::RawSDPStream},
    {"Location", &TBTDevice::Location},
};
const std::pair<const char*, std::int32_t TBTDevice::*> DeviceNumbers[] = {
    {"FirstSeen", &TBTDevice::FirstSeen},
    {"LastSeen", &TBTDevice::LastSeen},
    {"SeenCount", &TBTDevice::SeenCount},
    {"Flags", &TBTDevice::Flags},
};

void TSessionReader::ReadDeviceProperty(TBTDevice& device, std::string_view path) {
    for (const auto& [name, field] : DeviceTexts) {
        if (SameText(path, name)) {
            device.*field = ReadString();
            return;
        }
    }
    for (const auto& [name, field] : DeviceNumbers) {
        if (SameText(path, name)) {
            device.*field = ReadInteger();
            return;
        }
    }
    if (SameText(path, "Type")) {
        const auto type = DeviceTypeByName(FTokens.Kind() == tkIdentifier ? FTokens.Identifier() : "");
        if (!type)
            Reject();
        device.Type = *type;
        FTokens.Advance();
    } else if (SameText(path, "MajorClass")) {
        device.SetMajorClass(ReadInteger());
    } else if (SameText(path, "MinorClass")) {
        device.SetMinorClass(ReadInteger());
    } else if (SameText(path, "RawSDPRecords.Strings")) {
        device.RawSDPRecords = ReadStringList();
    } else {
        Reject();
    }
}

} // namespace

std::unique_ptr<TSessionState> ComponentFromText(std::string_view text) {
    try {
        return TSessionReader(text).Read();
    } catch (const TReadError&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace orvelle
