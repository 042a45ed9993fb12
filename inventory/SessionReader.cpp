// The reader of the session file's text: tokens, structure and the properties applied in file order.
// Any error rejects the whole text; nothing is allocated from a number in the text.
#include "bluetooth/sdp/CodePage.h"
#include "bluetooth/sdp/HexText.h"
#include "inventory/SessionFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstring>
#include <iterator>
#include <strings.h>

namespace orvelle {

namespace {

// Raised inside the reader on any malformed input; the public entry turns it into none.
struct TReadError {};

[[noreturn]] void Reject() {
    throw TReadError{};
}

// Lines with more bytes than this before their line feed are rejected, as the reader always did.
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

// A text read in pieces, handed to the tokenizer in windows of whole lines: a window ends with a line
// feed, or is the last part of the text. No token spans a line feed, so none spans two windows. A NUL
// byte ends the text, as it does for a text read whole.
class TLineWindows {
public:
    explicit TLineWindows(const TByteSource& source) : FSource(source) {}

    // The next window; empty at the end of the text. The previous window's bytes are overwritten.
    std::string_view Next();

private:
    // Room for many lines at a time, so that the source is called rarely; far above the longest line
    // the reader accepts.
    static constexpr std::size_t BufferSize = 256 * 1024;

    const TByteSource& FSource;
    std::unique_ptr<char[]> FBuffer = std::make_unique_for_overwrite<char[]>(BufferSize);
    std::size_t FFilled = 0;
    std::size_t FWindowEnd = 0;
    bool FEnded = false;
};

std::string_view TLineWindows::Next() {
    // The unfinished line after the last window moves to the front.
    char* const buffer = FBuffer.get();
    std::copy(buffer + FWindowEnd, buffer + FFilled, buffer);
    FFilled -= FWindowEnd;
    FWindowEnd = 0;
    while (!FEnded) {
        // The tokenizer asks for more only when it is about to enter this line, and a line the
        // tokenizer enters that is longer than the limit rejects the text in any case.
        if (FFilled == BufferSize)
            Reject();
        const auto count = FSource(buffer + FFilled, BufferSize - FFilled);
        if (!count)
            Reject();
        const std::size_t start = FFilled;
        const auto* const nul = static_cast<const char*>(std::memchr(buffer + start, 0, *count));
        FFilled = nul != nullptr ? static_cast<std::size_t>(nul - buffer) : start + *count;
        FEnded = *count == 0 || nul != nullptr;
        const auto* const lineFeed = static_cast<const char*>(memrchr(buffer + start, '\n', FFilled - start));
        if (lineFeed != nullptr && !FEnded) {
            FWindowEnd = static_cast<std::size_t>(lineFeed - buffer) + 1;
            return {buffer, FWindowEnd};
        }
    }
    FWindowEnd = FFilled;
    return {buffer, FFilled};
}

enum TTokenKind { tkEnd, tkIdentifier, tkInteger, tkString, tkSymbol };

class TTokenizer {
public:
    // WINDOWS, when given, supplies the text that follows TEXT.
    explicit TTokenizer(std::string_view text, TLineWindows* windows = nullptr)
        : FText(text), FWindows(windows) {
        Advance();
    }

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
    bool NextWindow();
    void CheckLine(std::size_t end) const;
    void ReadIdentifier();
    void ReadNumber();
    void ReadHexNumber();
    void ReadString();
    bool DecodeString(bool unicodeQuotes);
    std::size_t Digits(std::size_t position, std::uint64_t limit, std::uint64_t& value) const;

    // The text, or the current window of it; positions count from its start.
    std::string_view FText;
    TLineWindows* FWindows;
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

// The number of spaces that start the eight bytes at TEXT.
unsigned LeadingSpaces(const char* text) {
    constexpr std::uint64_t Ones = 0x0101010101010101u;
    std::uint64_t word = 0;
    std::memcpy(&word, text, sizeof word);
    const std::uint64_t others = word ^ 0x20 * Ones;
    // The top bit of each byte that is not a space; no carry crosses a byte.
    const std::uint64_t otherBytes = (((others & 0x7F * Ones) + 0x7F * Ones) | others) & 0x80 * Ones;
    if (otherBytes == 0)
        return 8;
    return static_cast<unsigned>(std::endian::native == std::endian::little ? std::countr_zero(otherBytes)
                                                                            : std::countl_zero(otherBytes)) /
           8;
}

void TTokenizer::SkipBlanks() {
    for (;;) {
        while (FPosition < FText.size()) {
            // Indentation is skipped a word at a time.
            if (FText.size() - FPosition >= 8)
                FPosition += LeadingSpaces(FText.data() + FPosition);
            const unsigned char byte = Byte(FPosition);
            if (byte == 0 && FPosition == FText.size())
                break;
            if (byte == 0 || byte > ' ')
                return;
            if (byte == '\n') {
                CheckLine(FPosition);
                FLineStart = FPosition + 1;
            }
            ++FPosition;
        }
        if (!NextWindow())
            return;
    }
}

// Moves on to the next window of the text, if any. The window ends either after a line feed, which
// SkipBlanks has passed, or at the end of the text: either way no token or line is cut.
bool TTokenizer::NextWindow() {
    if (FWindows == nullptr)
        return false;
    FText = FWindows->Next();
    FPosition = 0;
    FLineStart = 0;
    return !FText.empty();
}

// The line from FLineStart to the line feed (or the text's end) at END: every byte before the line
// feed counts, a carriage return included.
void TTokenizer::CheckLine(std::size_t end) const {
    if (end - FLineStart > MaxLineLength)
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
    for (; HexDigitValue(static_cast<char>(Byte(position))) >= 0; ++position) {
        value = value * 16 + static_cast<std::uint64_t>(HexDigitValue(static_cast<char>(Byte(position))));
        if (value > 0xFFFFFFFFu)
            Reject();
    }
    if (position == FPosition + 1)
        Reject();
    FPosition = position;
    FKind = tkInteger;
    FInteger = static_cast<std::int64_t>(value);
}

// The code-page byte of each UTF-16 code, '?' for a character the code page lacks: the code page maps
// every byte to its own code, so the table is the reverse of that map. Built once, on first use.
const std::array<char, 0x10000>& CodePageBytes() {
    static const auto table = [] {
        std::array<char, 0x10000> bytes;
        bytes.fill('?');
        for (int byte = 0; byte < 256; ++byte)
            bytes[CodePageToUnicode(static_cast<unsigned char>(byte))] = static_cast<char>(byte);
        return bytes;
    }();
    return table;
}

// Reads the decimal digits at IN (before END) into CODE, rejecting a value above 0xFFFF; returns the
// position after them.
const char* EscapeDigits(const char* in, const char* end, std::uint32_t& code) {
    code = 0;
    for (; in < end && IsDigit(static_cast<unsigned char>(*in)); ++in) {
        code = code * 10 + static_cast<std::uint32_t>(*in - '0');
        if (code > 0xFFFF)
            Reject();
    }
    return in;
}

// As EscapeDigits, for escapes of at most four digits with eight bytes to read before END: the digits
// are found and converted in one 64-bit word, without a branch on their count, which varies from one
// escape to the next. Returns null when it cannot decide, leaving the escape to EscapeDigits.
const char* ShortEscapeDigits(const char* in, const char* end, std::uint32_t& code) {
    if constexpr (std::endian::native != std::endian::little) {
        return nullptr;
    } else {
        constexpr std::uint64_t Ones = 0x0101010101010101u;
        if (end - in < 8)
            return nullptr;
        std::uint64_t word = 0;
        std::memcpy(&word, in, sizeof word);
        // A byte is a digit when, less '0', it is below 10: neither is its top bit set nor does adding
        // 0x76 set it. A carry out of a non-digit byte only disturbs the bytes after it, which are not
        // looked at.
        const std::uint64_t offsets = word ^ 0x30 * Ones;
        const std::uint64_t nonDigitBytes = (offsets | (offsets + 0x76 * Ones)) & 0x80 * Ones;
        if (nonDigitBytes == 0)
            return nullptr;
        const auto count = static_cast<unsigned>(std::countr_zero(nonDigitBytes)) / 8;
        if (count > 4)
            return nullptr;
        if (count == 0) {
            code = 0;
            return in;
        }
        // The digits, most significant first, moved to the top of a 32-bit word behind leading zeros,
        // then combined in pairs and fours; four digits stay below the limit.
        std::uint32_t digits = static_cast<std::uint32_t>(word - 0x30 * Ones) << (8 * (4 - count));
        digits = (digits * (10 * 0x100 + 1)) >> 8 & 0x00FF00FFu;
        code = (digits * (100 * 0x10000 + 1)) >> 16;
        return in + count;
    }
}

// Bytes that end a run of quoted bytes taken as they stand: the quote, the bytes that leave a quoted
// part open (NUL, CR, LF) and the bytes 0x80 to 0x9F, which are read as codes in a Unicode token.
constexpr std::array<bool, 256> QuotedRunEnds = [] {
    std::array<bool, 256> ends{};
    for (const unsigned char byte : {'\'', '\0', '\r', '\n'})
        ends[byte] = true;
    for (int byte = 0x80; byte < 0xA0; ++byte)
        ends[byte] = true;
    return ends;
}();

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
    // A token never spans lines, and each character it gives takes at least one of its bytes, so the
    // output is never longer than the part of the line that is read, which is at most as long as
    // FString. A longer line is cut there: it rejects the text in any case, as will the token or what
    // follows it. The line feed ends the token wherever it comes, so the line's end is not looked for.
    const std::string_view rest = FText.substr(FPosition, FString.size());
    const char* in = rest.data();
    const char* const end = in + rest.size();
    // Plain locals: writing the output through a char pointer would otherwise make the compiler store
    // and reload the members around every byte.
    char* out = FString.data();
    const std::array<char, 0x10000>& codePage = CodePageBytes();
    bool unicode = false;
    bool quotedHigh = false;
    // A high surrogate escape directly followed by a low one is one character, which the code page
    // lacks: one '?' for the pair.
    bool highSurrogate = false;
    for (;;) {
        if (in < end && *in == '\'') {
            for (++in;; ++in) {
                const char* const run = in;
                while (in < end && !QuotedRunEnds[static_cast<unsigned char>(*in)])
                    *out++ = *in++;
                highSurrogate = highSurrogate && in == run;
                // The line's end, the text's end and a NUL byte all leave the quoted part open.
                if (in == end || *in == 0 || *in == '\r' || *in == '\n')
                    Reject();
                if (*in == '\'') {
                    if (in + 1 == end || in[1] != '\'')
                        break;
                    ++in;
                    *out++ = '\'';
                } else {
                    const auto high = static_cast<unsigned char>(*in);
                    quotedHigh = true;
                    *out++ = unicodeQuotes ? codePage[high] : static_cast<char>(high);
                }
                highSurrogate = false;
            }
            ++in;
        } else if (in < end && *in == '#') {
            std::uint32_t code = 0;
            const char* const digitsEnd = ShortEscapeDigits(in + 1, end, code);
            in = digitsEnd != nullptr ? digitsEnd : EscapeDigits(in + 1, end, code);
            unicode = unicode || code > 127;
            // Surrogates are rare: the common path writes without waiting for the code.
            if (code < 0xD800 || code > 0xDFFF) [[likely]] {
                *out++ = codePage[code];
                highSurrogate = false;
            } else {
                const bool pair = highSurrogate && code >= 0xDC00;
                if (!pair)
                    *out++ = codePage[code];
                highSurrogate = !pair && code <= 0xDBFF;
            }
        } else {
            FPosition = static_cast<std::size_t>(in - FText.data());
            FStringLength = static_cast<std::size_t>(out - FString.data());
            return !unicodeQuotes && unicode && quotedHigh;
        }
    }
}

// The structure and the properties. Each property is applied as soon as it is read, through the
// same setters the program uses, so the file's order decides the outcome.
class TSessionReader {
public:
    explicit TSessionReader(std::string_view text, TLineWindows* windows = nullptr)
        : FTokens(text, windows) {}

    std::unique_ptr<TSessionState> Read();

private:
    void Expect(char symbol);
    void AppendIdentifier(std::string& text);
    std::string_view PropertyPath();
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
    std::vector<std::string> FEntries;
    std::string FPath;
    bool FLocationListDropped = false;
    bool FLogDropped = false;
};

void TSessionReader::Expect(char symbol) {
    if (!FTokens.IsSymbol(symbol))
        Reject();
    FTokens.Advance();
}

// Appends the identifier to TEXT before moving on: moving on may replace the window it lies in.
void TSessionReader::AppendIdentifier(std::string& text) {
    if (FTokens.Kind() != tkIdentifier)
        Reject();
    text += FTokens.Identifier();
    FTokens.Advance();
}

// The path in a buffer kept for the whole read, valid until the next call.
std::string_view TSessionReader::PropertyPath() {
    FPath.clear();
    AppendIdentifier(FPath);
    while (FTokens.IsSymbol('.')) {
        FTokens.Advance();
        FPath += '.';
        AppendIdentifier(FPath);
    }
    Expect('=');
    return FPath;
}

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

// The entries gather in a buffer kept for the whole read, so that the list is allocated once, at
// its size, whatever the number of entries.
std::vector<std::string> TSessionReader::ReadStringList() {
    Expect('(');
    FEntries.clear();
    while (!FTokens.IsSymbol(')'))
        FEntries.push_back(ReadString());
    FTokens.Advance();
    return {std::make_move_iterator(FEntries.begin()), std::make_move_iterator(FEntries.end())};
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
    std::string name;
    std::string className;
    AppendIdentifier(className);
    if (FTokens.IsSymbol(':')) {
        FTokens.Advance();
        name = std::move(className);
        className.clear();
        AppendIdentifier(className);
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

// The state READ makes, or none for every rejection, the lack of memory included.
template<class Read>
std::unique_ptr<TSessionState> StateOrNone(Read&& read) {
    try {
        return read();
    } catch (const TReadError&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

std::unique_ptr<TSessionState> ComponentFromText(std::string_view text) {
    return StateOrNone([text] { return TSessionReader(text).Read(); });
}

std::unique_ptr<TSessionState> ComponentFromSource(const TByteSource& source) {
    return StateOrNone([&source] {
        TLineWindows windows(source);
        return TSessionReader(windows.Next(), &windows).Read();
    });
}

} // namespace orvelle
