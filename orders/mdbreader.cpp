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
#include <optional>
#include <set>
#include <utility>
#include <vector>

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
// reads the catalog. The table keeps a pointer to `catalog`, which must
// outlive it.
MdbTableDef *readCatalogTable(MdbHandle *mdb, MdbCatalogEntry &catalog) {
    catalog = MdbCatalogEntry{};
    catalog.mdb = mdb;
    catalog.object_type = MDB_TABLE;
    catalog.table_pg = 2;
    std::strcpy(catalog.object_name, "MSysObjects");
    return mdb_read_table(&catalog);
}

// Its definition is checked first as a user table's is.
bool catalogWalkable(MdbHandle *mdb) {
    MdbCatalogEntry catalog;
    MdbTableDef *table = readCatalogTable(mdb, catalog);
    if (!table)
        return false;
    const bool ok = walkable(table);
    mdb_free_tabledef(table);
    return ok;
}

std::uint32_t get32(const unsigned char *p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
unsigned get16(const unsigned char *p) {
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

// The file's whole pages as mapped, read here rather than through the
// library, whose own walks over damaged structures can run without end: a
// long value's chain of rows may loop, and a property block whose lengths
// read zero (pages past a cut end read as zeros) never advances.
class Pages {
public:
    Pages(MdbHandle *mdb, const void *map, std::size_t size)
        : m_base(static_cast<const unsigned char *>(map)), m_pageSize(mdb->fmt->pg_size),
          m_count(size / mdb->fmt->pg_size), m_rowCountAt(mdb->fmt->row_count_offset) {}

    const unsigned char *page(std::uint32_t number) const {
        return number < m_count ? m_base + std::size_t(number) * m_pageSize : nullptr;
    }
    std::size_t count() const { return m_count; }

    // Row `row` of data page `number`, or false when either is not there.
    bool row(std::uint32_t number, unsigned row, const unsigned char *&start,
             std::size_t &size) const {
        const unsigned char *p = page(number);
        if (!p || p[0] != 0x01)
            return false;
        const unsigned rows = get16(p + m_rowCountAt);
        const std::size_t table = m_rowCountAt + 2;
        if (row >= rows || table + 2 * rows > m_pageSize)
            return false;
        const unsigned begin = get16(p + table + 2 * row) & offsetMask;
        const unsigned end =
            row == 0 ? unsigned(m_pageSize) : get16(p + table + 2 * (row - 1)) & offsetMask;
        if (begin < table + 2 * rows || begin >= end || end > m_pageSize)
            return false;
        start = p + begin;
        size = end - begin;
        return true;
    }

private:
    const unsigned char *m_base;
    std::size_t m_pageSize;
    std::size_t m_count;
    std::size_t m_rowCountAt;
};

// A table definition and the pages it continues on: each there, each a
// definition page, none twice.
bool definitionSound(const Pages &pages, std::uint32_t first) {
    std::vector<bool> seen(pages.count());
    for (std::uint32_t number = first; number != 0;) {
        const unsigned char *p = pages.page(number);
        if (!p || p[0] != 0x02 || seen[number])
            return false;
        seen[number] = true;
        number = get32(p + 4);
    }
    return true;
}

// A long value (memo or OLE) from its 12-byte reference in a row: inline,
// one row elsewhere, or a chain of rows each naming the next.
bool readLongValue(const Pages &pages, const unsigned char *field, std::size_t size,
                   std::vector<unsigned char> &value) {
    if (size < 12)
        return false;
    const std::uint32_t head = get32(field);
    if (head & 0x80000000u) {
        value.assign(field + 12, field + size);
        return true;
    }
    const unsigned char *row = nullptr;
    std::size_t rowSize = 0;
    std::uint32_t next = get32(field + 4);
    if (head & 0x40000000u) {
        if (!pages.row(next >> 8, next & 0xff, row, rowSize))
            return false;
        value.assign(row, row + rowSize);
        return true;
    }
    if (head & 0xff000000u)
        return false;
    std::set<std::uint32_t> seen;
    while (next != 0) {
        if (!seen.insert(next).second || !pages.row(next >> 8, next & 0xff, row, rowSize) ||
            rowSize < 4)
            return false;
        next = get32(row);
        value.insert(value.end(), row + 4, row + rowSize);
    }
    return true;
}

// One block of properties: its owner's name, then entries that each name a
// property of the list by number and carry a value of their own length.
bool propertyBlockSound(const unsigned char *p, std::size_t size, std::size_t names) {
    if (size < 6 || 6 + get16(p + 4) > size)
        return false;
    for (std::size_t at = 6 + get16(p + 4); at < size;) {
        if (at + 8 > size)
            return false;
        const std::size_t length = get16(p + at);
        if (length < 8 + get16(p + at + 6) || at + length > size || get16(p + at + 4) >= names)
            return false;
        at += length;
    }
    return true;
}

// A table's properties as the catalog keeps them: a signature, then chunks
// of a stated length, a list of property names before any block that uses it.
bool propertiesSound(const std::vector<unsigned char> &kkd) {
    const auto *p = kkd.data();
    const std::size_t size = kkd.size();
    if (size < 4 || (std::memcmp(p, "KKD", 4) != 0 && std::memcmp(p, "MR2", 4) != 0))
        return false;
    std::optional<std::size_t> names;
    for (std::size_t at = 4; at < size;) {
        if (at + 6 > size)
            return false;
        const std::size_t length = get32(p + at);
        if (length < 6 || length > size - at)
            return false;
        const unsigned type = get16(p + at + 4);
        const unsigned char *body = p + at + 6;
        const std::size_t bodySize = length - 6;
        if (type == 0x80) {
            names = 0;
            for (std::size_t n = 0; n < bodySize; ++*names) {
                if (n + 2 > bodySize || n + 2 + get16(body + n) > bodySize)
                    return false;
                n += 2 + get16(body + n);
            }
        } else if (type <= 0x02 && (!names || !propertyBlockSound(body, bodySize, *names))) {
            return false;
        }
        at += length;
    }
    return true;
}

// What the library trusts when it reads the catalog: the catalog's and each
// table's definition chains, and every table's properties. Walks the
// catalog's rows through the library, which is safe once its definition is.
bool catalogSound(MdbHandle *mdb, const Pages &pages) {
    if (!definitionSound(pages, 2))
        return false;
    MdbCatalogEntry catalog;
    MdbTableDef *table = readCatalogTable(mdb, catalog);
    if (!table)
        return false;
    bool sound = walkable(table);
    MdbColumn *id = nullptr, *type = nullptr, *props = nullptr;
    for (unsigned i = 0; sound && i < table->num_cols; ++i) {
        auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        if (equalFolded(col->name, "Id"))
            id = col;
        else if (equalFolded(col->name, "Type"))
            type = col;
        else if (equalFolded(col->name, "LvProp"))
            props = col;
    }
    if (sound && id && type) {
        mdb_rewind_table(table);
        while (sound && mdb_fetch_row(table)) {
            auto field = [&](MdbColumn *col, std::size_t &size) -> const unsigned char * {
                const int start = col->cur_value_start, len = col->cur_value_len;
                if (start < 0 || len < 0 || start + len > int(mdb->fmt->pg_size))
                    return nullptr;
                size = std::size_t(len);
                return mdb->pg_buf + start;
            };
            std::size_t size = 0;
            const unsigned char *kind = field(type, size);
            // Only tables' properties are read with the catalog.
            if (!kind || size < 2 || get16(kind) != MDB_TABLE)
                continue;
            const unsigned char *page = field(id, size);
            sound = page && size >= 4 && definitionSound(pages, get32(page) & 0x00ffffff);
            const unsigned char *ref = props ? field(props, size) : nullptr;
            std::vector<unsigned char> kkd;
            if (sound && ref && size > 0)
                sound = readLongValue(pages, ref, size, kkd) && propertiesSound(kkd);
        }
    }
    mdb_free_tabledef(table);
    return sound;
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
    if (!mdb || !catalogWalkable(mdb) || !catalogSound(mdb, Pages(mdb, m_map, m_size)) ||
        !mdb_read_catalog(mdb, MDB_TABLE)) {
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
