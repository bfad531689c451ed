#include "mdbreader.h"

#include "asciicase.h"

#include <mdbtools.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace sheetcraft {

namespace {

constexpr int offsetMask = 0x1fff; // row offsets carry flags in their top bits

MdbHandle *handleOf(void *p) {
    return static_cast<MdbHandle *>(p);
}

[[noreturn]] void damaged(const std::string &what) {
    throw MdbError(mdberr::notADatabase, what);
}

// Whether the library can walk a table definition: without a page map it
// reads through a null pointer, and rows are cracked into fixed arrays of
// MDB_MAX_COLS fields, so a larger column count can only come from damage.
// Reads the columns on the way.
bool walkable(MdbTableDef *table) {
    return table->usage_map && table->map_sz >= 5 && table->num_cols > 0 &&
           table->num_cols <= MDB_MAX_COLS && mdb_read_columns(table) && table->columns &&
           table->columns->len == table->num_cols;
}

// The catalog is itself a table, on page 2, which the library walks while it
// reads the catalog. Its definition is checked first as a user table's is.
bool catalogWalkable(MdbHandle *mdb) {
    MdbCatalogEntry catalog{};
    catalog.mdb = mdb;
    catalog.object_type = MDB_TABLE;
    catalog.table_pg = 2;
    std::strcpy(catalog.object_name, "MSysObjects");
    MdbTableDef *table = mdb_read_table(&catalog);
    if (!table)
        return false;
    const bool ok = walkable(table);
    mdb_free_tabledef(table);
    return ok;
}

template <typename T> T readRaw(const unsigned char *p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Currency: a count of ten-thousandths, shown exactly.
std::string currencyText(std::int64_t units) {
    bool negative = units < 0;
    std::uint64_t u =
        negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    std::string text = std::to_string(u / 10000);
    std::uint64_t frac = u % 10000;
    if (frac != 0) {
        std::string digits = std::to_string(frac);
        digits.insert(0, 4 - digits.size(), '0');
        while (digits.back() == '0')
            digits.pop_back();
        text += "." + digits;
    }
    return negative ? "-" + text : text;
}

template <typename F> std::string shortestOf(F value) {
    if (value == 0)
        return "0";
    char buf[64];
    F a = std::fabs(value);
    // Plain digits for the magnitudes sizes and margins take; exponent form
    // only where plain digits would run long.
    std::to_chars_result r =
        (a >= F(1e-5) && a < F(1e15))
            ? std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed)
            : std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

} // namespace

std::string shortestDecimal(double value) {
    return shortestOf(value);
}
std::string shortestDecimal(float value) {
    return shortestOf(value);
}

MdbValue MdbValue::number(double value, std::string asText) {
    MdbValue v;
    v.m_kind = Kind::Number;
    v.m_number = value;
    v.m_text = std::move(asText);
    return v;
}

MdbValue MdbValue::text(std::string value) {
    MdbValue v;
    v.m_kind = Kind::Text;
    v.m_text = std::move(value);
    return v;
}

const std::string &MdbValue::asText() const {
    if (m_kind == Kind::Null)
        throw MdbError(mdberr::invalidUseOfNull, "Invalid use of Null");
    return m_text;
}

// ---- MdbReader ----------------------------------------------------------

MdbReader::MdbReader(const std::string &givenPath) {
    std::string path = givenPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);

    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw MdbError(mdberr::invalidPath, "'" + givenPath + "' is not a valid path");
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT)
            throw MdbError(mdberr::fileNotFound, "Could not find file '" + givenPath + "'");
        damaged("Cannot read '" + givenPath + "'");
    }
    if (!S_ISREG(st.st_mode))
        damaged("'" + givenPath + "' is not a database file");

    // Read-only, and mapped rather than read page by page: the library asks
    // the file for its size before every page, which on a file costs two
    // system calls a page and on a mapping nothing.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        damaged("Cannot read '" + givenPath + "'");
    m_size = static_cast<std::size_t>(st.st_size);
    void *map = m_size > 0 ? ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    ::close(fd);
    if (map == MAP_FAILED)
        damaged("Unrecognized database format '" + givenPath + "'");
    m_map = map;

    MdbHandle *mdb = mdb_open_buffer(m_map, m_size, MDB_NOFLAGS);
    if (!mdb || !catalogWalkable(mdb) || !mdb_read_catalog(mdb, MDB_TABLE)) {
        if (mdb)
            mdb_close(mdb);
        ::munmap(m_map, m_size);
        damaged("Unrecognized database format '" + givenPath + "'");
    }
    // Texts are at most 255 characters; the library's default 16 KB buffer
    // for each converted text is a large allocation on every field read.
    mdb_set_bind_size(mdb, 1024);
    m_handle = mdb;
}

MdbReader::~MdbReader() {
    mdb_close(handleOf(m_handle));
    ::munmap(m_map, m_size);
}

MdbTable MdbReader::table(const std::string &name) {
    // A handle of its own: libmdb keeps the current page in the handle, so
    // two tables walked through one handle would overwrite each other's page.
    MdbHandle *mdb = mdb_clone_handle(handleOf(m_handle));
    MdbCatalogEntry *found = nullptr;
    for (unsigned i = 0; mdb->catalog && i < mdb->num_catalog && i < mdb->catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && equalFolded(entry->object_name, name)) {
            found = entry;
            break;
        }
    }
    if (!found) {
        mdb_close(mdb);
        throw MdbError(mdberr::tableNotFound, "The database has no table '" + name + "'");
    }
    MdbTableDef *table = mdb_read_table(found);
    if (!table) {
        mdb_close(mdb);
        damaged("Table '" + name + "' is damaged");
    }
    if (!walkable(table)) {
        mdb_free_tabledef(table);
        mdb_close(mdb);
        damaged("Table '" + name + "' is damaged");
    }
    mdb_rewind_table(table);
    return MdbTable(mdb, table, name);
}

// ---- MdbTable -----------------------------------------------------------

bool MdbTable::NameLess::operator()(std::string_view a, std::string_view b) const {
    return lessFolded(a, b);
}

MdbTable::MdbTable(void *handle, S_MdbTableDef *table, std::string name)
    : m_handle(handle), m_table(table), m_name(std::move(name)) {
    for (unsigned i = 0; i < m_table->num_cols; ++i) {
        auto *col = static_cast<MdbColumn *>(g_ptr_array_index(m_table->columns, i));
        m_columns.emplace(col->name, static_cast<int>(i));
    }
    m_fields.resize(m_table->num_cols);
    fetch();
}

MdbTable::MdbTable(MdbTable &&other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)),
      m_table(std::exchange(other.m_table, nullptr)), m_name(std::move(other.m_name)),
      m_columns(std::move(other.m_columns)), m_eof(other.m_eof),
      m_fields(std::move(other.m_fields)), m_cracked(other.m_cracked), m_row(other.m_row) {
    other.m_eof = true;
}

MdbTable::~MdbTable() {
    if (m_table)
        mdb_free_tabledef(m_table);
    if (m_handle)
        mdb_close(handleOf(m_handle));
}

void MdbTable::fetch() {
    m_cracked = false;
    m_eof = !mdb_fetch_row(m_table);
    if (!m_eof)
        m_row = m_table->cur_row - 1;
}

void MdbTable::moveNext() {
    if (!m_eof)
        fetch();
}

void MdbTable::crackCurrent() const {
    if (m_eof)
        damaged("No current record");
    MdbHandle *mdb = handleOf(m_handle);
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(mdb, static_cast<int>(m_row), &start, &size) != 0)
        damaged("Damaged record in '" + m_name + "'");
    start &= offsetMask;
    if (size < 3 || start + size > static_cast<size_t>(mdb->fmt->pg_size))
        damaged("Damaged record in '" + m_name + "'");
    MdbField fields[MDB_MAX_COLS];
    if (mdb_crack_row(m_table, start, size, fields) < 0)
        damaged("Damaged record in '" + m_name + "'");
    for (unsigned i = 0; i < m_table->num_cols; ++i) {
        Field &f = m_fields[i];
        f.null = fields[i].is_null != 0;
        f.start = fields[i].start;
        f.size = fields[i].siz;
        bool inside = f.size >= 0 && f.start >= 0 && f.start + f.size <= mdb->fmt->pg_size;
        if (!f.null && !inside)
            damaged("Damaged record in '" + m_name + "'");
    }
    m_cracked = true;
}

MdbValue MdbTable::field(std::string_view name) const {
    auto it = m_columns.find(name);
    if (it == m_columns.end())
        throw MdbError(mdberr::fieldNotFound,
                       "Item not found in this collection. (" + std::string(name) + ")");
    if (m_eof)
        damaged("No current record");
    MdbHandle *mdb = handleOf(m_handle);
    auto *col = static_cast<MdbColumn *>(g_ptr_array_index(m_table->columns, it->second));

    // Fetching a record leaves each column's place on the page in the column;
    // a null and an empty text both leave length 0, and only those (and
    // yes/no values, kept in the null mask) need the record cracked again.
    Field f{col->cur_value_start, col->cur_value_len, col->cur_value_len == 0};
    if (col->col_type == MDB_BOOL || (f.size == 0 && col->col_type == MDB_TEXT)) {
        if (!m_cracked)
            crackCurrent();
        f = m_fields[static_cast<std::size_t>(it->second)];
    }
    if (col->col_type == MDB_BOOL) // the null bit is the value itself
        return MdbValue::number(f.null ? 0 : -1, f.null ? "False" : "True");
    if (f.null)
        return MdbValue();
    if (f.start < 0 || f.size < 0 || f.start + f.size > mdb->fmt->pg_size)
        damaged("Damaged record in '" + m_name + "'");

    const unsigned char *p = mdb->pg_buf + f.start;
    auto need = [&](int bytes) {
        if (f.size < bytes)
            damaged("Damaged record in '" + m_name + "'");
    };
    switch (col->col_type) {
    case MDB_BYTE: {
        need(1);
        return MdbValue::number(p[0], std::to_string(p[0]));
    }
    case MDB_INT: {
        need(2);
        auto v = readRaw<std::int16_t>(p);
        return MdbValue::number(v, std::to_string(v));
    }
    case MDB_LONGINT: {
        need(4);
        auto v = readRaw<std::int32_t>(p);
        return MdbValue::number(v, std::to_string(v));
    }
    case MDB_FLOAT: {
        need(4);
        auto v = readRaw<float>(p);
        return MdbValue::number(v, shortestDecimal(v));
    }
    case MDB_DOUBLE: {
        need(8);
        auto v = readRaw<double>(p);
        return MdbValue::number(v, shortestDecimal(v));
    }
    case MDB_MONEY: {
        need(8);
        auto units = readRaw<std::int64_t>(p);
        return MdbValue::number(static_cast<double>(units) / 10000.0, currencyText(units));
    }
    default: {
        // Text (and the rarer kinds) through the library's own decoding.
        char *s = mdb_col_to_string(mdb, mdb->pg_buf, f.start, col->col_type, f.size);
        std::string text = s ? s : "";
        g_free(s);
        return MdbValue::text(std::move(text));
    }
    }
}

} // namespace sheetcraft
