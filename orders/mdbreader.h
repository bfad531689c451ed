#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// libmdb's table type, kept out of this header so that users need not see glib.
struct S_MdbTableDef;

namespace sheetcraft {

// Failure numbers as the order-entry database engine reports them, so that
// messages read the same as they always have.
namespace mdberr {
inline constexpr int invalidPath = 3044;    // the folder part of the path does not exist
inline constexpr int fileNotFound = 3024;   // no such file in an existing folder
inline constexpr int notADatabase = 3343;   // not a database, damaged or unreadable
inline constexpr int tableNotFound = 3078;  // no table of that name
inline constexpr int fieldNotFound = 3265;  // no field of that name in the table
inline constexpr int invalidUseOfNull = 94; // a null taken as text
} // namespace mdberr

class MdbError : public std::runtime_error {
public:
    MdbError(int number, const std::string &what) : std::runtime_error(what), m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number;
};

// A field value: null, a number (any numeric column type) or a text.
class MdbValue {
public:
    MdbValue() = default;
    static MdbValue number(double value, std::string asText);
    static MdbValue text(std::string value);

    bool isNull() const { return m_kind == Kind::Null; }
    bool isNumber() const { return m_kind == Kind::Number; }
    bool isText() const { return m_kind == Kind::Text; }
    double numberValue() const { return m_number; } // 0 unless a number

    // The value as text: a text as stored, a number in its shortest decimal
    // form ("0.25", "3"). Throws MdbError 94 for a null.
    const std::string &asText() const;

private:
    enum class Kind { Null, Number, Text };
    Kind m_kind = Kind::Null;
    double m_number = 0;
    std::string m_text;
};

// Shortest decimal text of a number that reads back to the same value:
// 0.25, 3, -1.5, 1e+20. Single-precision values use the float's shortest
// form, so a stored 0.1 reads "0.1" and not its double widening.
std::string shortestDecimal(double value);
std::string shortestDecimal(float value);

class MdbReader;

// One table opened in its stored order and positioned on its first record.
// Reads through a handle of its own, so several tables may be walked at the
// same time. Must not outlive the reader that opened it.
class MdbTable {
public:
    MdbTable(MdbTable &&other) noexcept;
    MdbTable &operator=(MdbTable &&other) = delete;
    MdbTable(const MdbTable &) = delete;
    ~MdbTable();

    bool eof() const { return m_eof; }
    void moveNext(); // no effect at the end

    // A field of the current record by name (letter case ignored). Throws
    // MdbError 3265 for an unknown name, 3343 when the record is damaged or
    // there is no current record.
    MdbValue field(std::string_view name) const;

    const std::string &name() const { return m_name; }

private:
    friend class MdbReader;
    MdbTable(void *handle, S_MdbTableDef *table, std::string name);
    void fetch();
    void crackCurrent() const;

    void *m_handle = nullptr; // MdbHandle: a clone of the reader's handle, owned
    S_MdbTableDef *m_table = nullptr;
    std::string m_name;
    // Field names compare without regard to letter case, as the engine's do.
    struct NameLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::map<std::string, int, NameLess> m_columns; // name -> column index
    bool m_eof = true;
    struct Field {
        int start = 0;
        int size = 0;
        bool null = true;
    };
    mutable std::vector<Field> m_fields; // the current record, cracked on demand
    mutable bool m_cracked = false;
    unsigned int m_row = 0; // the current record's row on the current page
};

// A database file opened read-only. The file is never written to.
class MdbReader {
public:
    // Opens the file. A backslash in the path counts as a folder separator,
    // as in the stored data-folder texts. Throws MdbError 3044, 3024 or 3343.
    explicit MdbReader(const std::string &path);
    MdbReader(const MdbReader &) = delete;
    MdbReader &operator=(const MdbReader &) = delete;
    ~MdbReader();

    // Throws MdbError 3078 when the table is absent, 3343 when it is damaged.
    MdbTable table(const std::string &name);

private:
    void *m_handle = nullptr; // MdbHandle
    void *m_map = nullptr;    // the file, mapped read-only
    std::size_t m_size = 0;
};

} // namespace sheetcraft
