#include "launcher/RegistryFileClass.h"

#include "launcher/TextConversion.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const HEADER_V4 = "REGEDIT4";
const char* const HEADER_V5 = "Windows Registry Editor Version 5.00";

struct HiveName {
    RegistryHive hive;
    const char* name;
};

const HiveName HIVE_NAMES[] = {
    {RegistryHive::LocalMachine, "HKEY_LOCAL_MACHINE"}, {RegistryHive::LocalMachine, "HKLM"},
    {RegistryHive::CurrentUser, "HKEY_CURRENT_USER"},   {RegistryHive::CurrentUser, "HKCU"},
    {RegistryHive::LocalMachine, "HKEY_CLASSES_ROOT"},  {RegistryHive::LocalMachine, "HKEY_USERS"},
    {RegistryHive::LocalMachine, "HKEY_CURRENT_CONFIG"},
};

std::string Trim(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Reads a quoted string with \\ and \" escapes starting at text[position] == '"'.
bool Read_Quoted(const std::string& text, std::size_t& position, std::string& out)
{
    if (position >= text.size() || text[position] != '"') return false;
    out.clear();
    for (std::size_t i = position + 1; i < text.size(); ++i) {
        char character = text[i];
        if (character == '"') {
            position = i + 1;
            return true;
        }
        if (character == '\\' && i + 1 < text.size()) character = text[++i];
        out += character;
    }
    return false;
}

std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (char character : text) {
        if (character == '\\' || character == '"') out += '\\';
        out += character;
    }
    return out + "\"";
}

bool Parse_Hex_Bytes(const std::string& list, std::string& bytes)
{
    bytes.clear();
    std::string digits;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        char character = i < list.size() ? list[i] : ',';
        if (character == ',') {
            if (digits.empty()) return i == list.size() && bytes.empty();
            if (digits.size() > 2) return false;
            bytes += static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16));
            digits.clear();
        } else if (std::isxdigit(static_cast<unsigned char>(character))) {
            digits += character;
        } else if (character != ' ' && character != '\t' && character != '\\' && character != '\r' &&
                   character != '\n') {
            return false;
        }
    }
    return true;
}

std::string Format_Hex_Bytes(const std::string& bytes)
{
    std::string out;
    char pair[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i > 0) out += ',';
        out += pair;
    }
    return out;
}

std::string Utf16le_Bytes_To_Utf8(const std::string& bytes)
{
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return Utf16_To_Utf8(wide);
}

std::string Utf8_To_Utf16le_Bytes(const std::string& text)
{
    std::string bytes;
    for (char16_t unit : Utf8_To_Utf16(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

bool Parse_Data(const std::string& data, bool unicode_version, RegistryValue& value, bool& deleted)
{
    deleted = false;
    if (data == "-") {
        deleted = true;
        return true;
    }
    if (!data.empty() && data[0] == '"') {
        std::size_t position = 0;
        std::string text;
        if (!Read_Quoted(data, position, text) || !Trim(data.substr(position)).empty()) return false;
        value = RegistryValue::From_String(text);
        return true;
    }
    if (data.compare(0, 6, "dword:") == 0) {
        std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        value = RegistryValue::From_Dword(static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16)));
        return true;
    }
    std::size_t colon = data.find(':');
    if (colon == std::string::npos || data.compare(0, 3, "hex") != 0) return false;
    std::string kind = data.substr(0, colon);
    std::string bytes;
    if (!Parse_Hex_Bytes(data.substr(colon + 1), bytes)) return false;
    value.type = kind == "hex(2)" ? RegistryType::ExpandString : RegistryType::Other;
    value.data = value.type == RegistryType::ExpandString && unicode_version ? Utf16le_Bytes_To_Utf8(bytes) : bytes;
    return true;
}

bool Key_Within(const std::string& key, const std::string& ancestor)
{
    if (key.size() <= ancestor.size() || key[ancestor.size()] != '\\') return false;
    return Equal_Ignoring_Case(key.substr(0, ancestor.size()), ancestor);
}

}  // namespace

RegistryFileClass::RegistryFileClass(RegistryHive hive) : hive_(hive) {}

bool RegistryFileClass::Parse(const std::string& source)
{
    lines_.clear();
    usable_ = true;
    unicode_version_ = false;
    std::string text = source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? source.substr(3) : source;
    crlf_ = text.find("\r\n") != std::string::npos;

    // A line whose last non-blank byte is a backslash goes on in the next one, unless it is a
    // comment. Decided from each physical line alone: a value joined from many lines must not
    // be looked over again for every line it gains.
    std::size_t start = 0;
    bool continues_previous = false;
    bool comment = false;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (continues_previous) {
            lines_.back() += "\n" + line;
        } else {
            const std::size_t first_byte = line.find_first_not_of(" \t");
            comment = first_byte != std::string::npos && line[first_byte] == ';';
            lines_.push_back(line);
        }
        const std::size_t last_byte = line.find_last_not_of(" \t");
        continues_previous = !comment && last_byte != std::string::npos && line[last_byte] == '\\';
        start = end + 1;
    }

    std::size_t first = 0;
    while (first < lines_.size() && Trim(lines_[first]).empty()) ++first;
    if (first == lines_.size()) {
        lines_.clear();
        return true;
    }
    std::string header = Trim(lines_[first]);
    unicode_version_ = header == HEADER_V5;
    usable_ = header == HEADER_V4 || unicode_version_;
    if (!usable_) lines_.clear();
    return usable_;
}

std::string RegistryFileClass::Text() const
{
    const char* eol = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (const std::string& line : lines_) {
        std::size_t start = 0;
        std::size_t end;
        while ((end = line.find('\n', start)) != std::string::npos) {
            text += line.substr(start, end - start) + eol;
            start = end + 1;
        }
        text += line.substr(start) + eol;
    }
    return text;
}

bool RegistryFileClass::Strip_Hive(std::string& path, bool& foreign) const
{
    foreign = false;
    for (const HiveName& entry : HIVE_NAMES) {
        std::string prefix = entry.name;
        bool whole = Equal_Ignoring_Case(path, prefix);
        if (!whole && !Key_Within(path, prefix)) continue;
        foreign = entry.hive != hive_ || entry.name == std::string("HKEY_CLASSES_ROOT") ||
                  entry.name == std::string("HKEY_USERS") || entry.name == std::string("HKEY_CURRENT_CONFIG");
        path = whole ? std::string() : path.substr(prefix.size() + 1);
        return true;
    }
    return false;
}

RegistryFileClass::LineMeaning RegistryFileClass::Interpret(const std::string& raw) const
{
    LineMeaning meaning;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') return meaning;
    if (line[0] == '[') {
        if (line.back() != ']') return meaning;
        std::string path = line.substr(1, line.size() - 2);
        bool deleted = !path.empty() && path[0] == '-';
        if (deleted) path.erase(0, 1);
        bool foreign = false;
        Strip_Hive(path, foreign);
        meaning.kind = foreign ? LineKind::ForeignKey : deleted ? LineKind::DeletedKey : LineKind::Key;
        meaning.key = path;
        return meaning;
    }
    std::size_t position = 0;
    std::string name;
    if (line[0] == '@') {
        position = 1;
    } else if (!Read_Quoted(line, position, name)) {
        return meaning;
    }
    std::size_t equals = line.find_first_not_of(" \t", position);
    if (equals == std::string::npos || line[equals] != '=') return meaning;
    std::string data = Trim(line.substr(equals + 1));
    if (!Parse_Data(data, unicode_version_, meaning.value, meaning.deleted_value)) return meaning;
    meaning.kind = LineKind::Value;
    meaning.name = name;
    return meaning;
}

bool RegistryFileClass::Key_Exists(const std::string& key) const
{
    for (const std::string& line : lines_) {
        LineMeaning meaning = Interpret(line);
        if (meaning.kind == LineKind::Key && (Equal_Ignoring_Case(meaning.key, key) || Key_Within(meaning.key, key)))
            return true;
    }
    return false;
}

bool RegistryFileClass::Read(const std::string& key, const std::string& name, RegistryValue& value) const
{
    // Later lines override earlier ones, as importing the file would.
    bool in_key = false;
    bool found = false;
    for (const std::string& line : lines_) {
        LineMeaning meaning = Interpret(line);
        if (meaning.kind == LineKind::Key || meaning.kind == LineKind::ForeignKey || meaning.kind == LineKind::DeletedKey) {
            in_key = meaning.kind == LineKind::Key && Equal_Ignoring_Case(meaning.key, key);
            if (meaning.kind == LineKind::DeletedKey && Equal_Ignoring_Case(meaning.key, key)) found = false;
        } else if (in_key && meaning.kind == LineKind::Value && Equal_Ignoring_Case(meaning.name, name)) {
            found = !meaning.deleted_value;
            if (found) value = meaning.value;
        }
    }
    return found;
}

bool RegistryFileClass::Format_Value_Line(const std::string& name, const RegistryValue& value, std::string& line) const
{
    line = name.empty() ? std::string("@=") : Quote(name) + "=";
    std::string text;
    std::uint32_t number = 0;
    if (value.type == RegistryType::String) {
        // A string holding a line break cannot be written in this syntax.
        if (!value.As_String(text, value.data.size()) || text.find_first_of("\r\n") != std::string::npos) return false;
        line += Quote(text);
    } else if (value.type == RegistryType::Dword) {
        if (!value.As_Dword(number)) return false;
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(number));
        line += digits;
    } else if (value.type == RegistryType::ExpandString) {
        line += "hex(2):" + Format_Hex_Bytes(unicode_version_ ? Utf8_To_Utf16le_Bytes(value.data) : value.data);
    } else {
        line += "hex:" + Format_Hex_Bytes(value.data);
    }
    return true;
}

bool RegistryFileClass::Write(const std::string& key, const std::string& name, const RegistryValue& value,
                              bool create_key)
{
    std::string value_line;
    if (!usable_ || key.empty() || !Format_Value_Line(name, value, value_line)) return false;

    int last_key_line = -1;
    int last_value_line = -1;
    bool in_key = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        LineMeaning meaning = Interpret(lines_[i]);
        if (meaning.kind == LineKind::Key || meaning.kind == LineKind::ForeignKey || meaning.kind == LineKind::DeletedKey) {
            in_key = meaning.kind == LineKind::Key && Equal_Ignoring_Case(meaning.key, key);
            if (in_key) last_key_line = static_cast<int>(i);
            // A deletion of the key discards the sections above it, as importing the file would:
            // a value written there would be lost.
            if (meaning.kind == LineKind::DeletedKey && Equal_Ignoring_Case(meaning.key, key)) {
                last_key_line = -1;
                last_value_line = -1;
            }
        } else if (in_key && meaning.kind == LineKind::Value && Equal_Ignoring_Case(meaning.name, name)) {
            last_value_line = static_cast<int>(i);
        }
    }
    if (last_value_line >= 0) {
        lines_[last_value_line] = value_line;
    } else if (last_key_line >= 0) {
        lines_.insert(lines_.begin() + last_key_line + 1, value_line);
    } else {
        if (!create_key) return false;
        if (lines_.empty()) lines_.push_back(HEADER_V4);
        if (!Trim(lines_.back()).empty()) lines_.push_back(std::string());
        lines_.push_back("[" + std::string(hive_ == RegistryHive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER") +
                         "\\" + key + "]");
        lines_.push_back(value_line);
    }
    return true;
}
