#pragma once
// Little-endian output for the binary resource layouts.

#include <cstdint>
#include <string>
#include <vector>

namespace fln::rc {

class ByteWriter {
public:
    void Byte(std::uint8_t value) { m_bytes.push_back(value); }
    void Word(std::uint16_t value)
    {
        Byte(static_cast<std::uint8_t>(value));
        Byte(static_cast<std::uint8_t>(value >> 8));
    }
    void Dword(std::uint32_t value)
    {
        Word(static_cast<std::uint16_t>(value));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(const std::u16string& text)
    {
        for (char16_t c : text)
            Word(c);
    }
    // A zero-terminated UTF-16 string.
    void TextZ(const std::u16string& text)
    {
        Text(text);
        Word(0);
    }
    void Bytes(const std::string& bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void Bytes(const std::vector<std::uint8_t>& bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void AlignToDword()
    {
        while (m_bytes.size() % 4)
            Byte(0);
    }
    void PatchWord(std::size_t offset, std::uint16_t value)
    {
        m_bytes[offset] = static_cast<std::uint8_t>(value);
        m_bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    }

    std::size_t Size() const { return m_bytes.size(); }
    std::vector<std::uint8_t>& Data() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

}
