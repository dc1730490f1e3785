// Matrix-file reading; see MatrixFile.h.
//
// The format is recognised once for the whole file: a "MEME version" line
// makes it MEME; a "P0"/"PO" header line followed by A, C, G, T makes it
// TRANSFAC; otherwise the first '>' line decides: JASPAR when the next
// non-blank line is a letter row ("A [" or "A "), the own format when not.
// The own format keeps the reading the sampler has always had: the width is
// read after '>' like strtol, and each of the four values of a row like
// strtod, so a file that was valid before gives the same numbers to the bit.
#include "io/MatrixFile.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>


namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r\v\f", at);
        if (at == std::string::npos)
            return words;
        size_t end = line.find_first_of(" \t\r\v\f", at);
        words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
}

// The text after a line's first word, without surrounding blanks.
std::string RestAfterFirstWord(const std::string& line)
{
    size_t at = line.find_first_not_of(" \t\r\v\f");
    at = at == std::string::npos ? std::string::npos : line.find_first_of(" \t\r\v\f", at);
    at = at == std::string::npos ? std::string::npos : line.find_first_not_of(" \t\r\v\f", at);
    if (at == std::string::npos)
        return "";
    size_t end = line.find_last_not_of(" \t\r\v\f");
    return line.substr(at, end + 1 - at);
}

// Id (first word, or "matrix_<n>" when there is none) and name (the rest).
void SetIdAndName(const std::string& text, size_t n, MotifMatrix* m)
{
    std::vector<std::string> words = Words(text);
    m->id = words.empty() ? "matrix_" + std::to_string(n) : words[0];
    m->name = RestAfterFirstWord(text);
}

bool IsBlank(const std::string& line)
{
    return line.find_first_not_of(" \t\r\v\f") == std::string::npos;
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, strlen(prefix), prefix) == 0;
}

// A whole word as a finite non-negative number.
bool ReadValue(const std::string& word, double* value)
{
    char* end = nullptr;
    errno = 0;
    double v = strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0' || !std::isfinite(v) || v < 0)
        return false;
    *value = v;
    return true;
}

// Collects matrices and the first fault.
class Reader {
public:
    Reader(std::vector<MotifMatrix>* out, std::string* reason, size_t limit)
        : m_Out(out), m_Reason(reason), m_Limit(limit)
    {
    }
    bool Full() const { return m_Out->size() >= m_Limit; }
    size_t Next() const { return m_Out->size() + 1; }
    void Add(MotifMatrix m) { m_Out->push_back(std::move(m)); }

    // Records a fault of matrix n (row r when r > 0); always false.
    bool Fail(size_t n, size_t r, const std::string& what)
    {
        char where[64];
        if (r > 0)
            snprintf(where, sizeof where, "matrix %zu, row %zu: ", n, r);
        else
            snprintf(where, sizeof where, "matrix %zu: ", n);
        *m_Reason = where + what;
        return false;
    }

    // Reads a row of exactly four numbers from words[from..].
    bool Row(const std::vector<std::string>& words, size_t from, size_t n, size_t r, const std::string& line,
             std::array<double, 4>* row)
    {
        if (words.size() < from || words.size() - from != 4)
            return Fail(n, r, RowFault(line));
        for (int b = 0; b < 4; b++)
            if (!ReadValue(words[from + b], &(*row)[b]))
                return Fail(n, r, RowFault(line));
        return true;
    }

private:
    static std::string RowFault(const std::string& line)
    {
        std::string shown = line.size() > 60 ? line.substr(0, 60) + "..." : line;
        return "a row must hold exactly four non-negative numbers for A, C, G, T, separated by tabs or "
               "spaces; found \"" + shown + "\"";
    }

    std::vector<MotifMatrix>* m_Out;
    std::string* m_Reason;
    size_t m_Limit;
};

bool ReadOwn(const std::vector<std::string>& lines, Reader& rd)
{
    size_t i = 0;
    while (i < lines.size() && !rd.Full()) {
        const std::string& head = lines[i++];
        if (head.empty() || head[0] != '>')
            continue;
        size_t n = rd.Next();
        char* end = nullptr;
        long w = strtol(head.c_str() + 1, &end, 10);
        if (w < 1 || w > kPWMMaxWidth) {
            char what[96];
            snprintf(what, sizeof what, "the width after '>' is %ld; it must lie in %d..%d", w, kPWMMinWidth,
                     kPWMMaxWidth);
            return rd.Fail(n, 0, what);
        }
        MotifMatrix m;
        SetIdAndName(end, n, &m);
        for (long j = 0; j < w; j++, i++) {
            if (i >= lines.size()) {
                char what[96];
                snprintf(what, sizeof what, "the file ends after %ld of its %ld rows", j, w);
                return rd.Fail(n, 0, what);
            }
            std::array<double, 4> row{};
            if (!rd.Row(Words(lines[i]), 0, n, j + 1, lines[i], &row))
                return false;
            m.rows.push_back(row);
        }
        rd.Add(std::move(m));
    }
    return true;
}

// The value after "key=" in a MEME matrix line, or -1.
long MemeField(const std::string& line, const char* key)
{
    size_t at = line.find(key);
    if (at == std::string::npos)
        return -1;
    return strtol(line.c_str() + at + strlen(key), nullptr, 10);
}

bool ReadMeme(const std::vector<std::string>& lines, Reader& rd)
{
    size_t i = 0;
    while (i < lines.size() && !rd.Full()) {
        std::vector<std::string> head = Words(lines[i++]);
        if (head.empty() || head[0] != "MOTIF")
            continue;
        size_t n = rd.Next();
        MotifMatrix m;
        m.id = head.size() > 1 ? head[1] : "matrix_" + std::to_string(n);
        if (head.size() > 2 && head[2] != "width")
            m.name = head[2];
        while (i < lines.size() && lines[i].find("letter-probability matrix") == std::string::npos &&
               !StartsWith(lines[i], "MOTIF"))
            i++;
        if (i >= lines.size() || StartsWith(lines[i], "MOTIF"))
            return rd.Fail(n, 0, "MOTIF " + m.id + " has no letter-probability matrix");
        long alength = MemeField(lines[i], "alength=");
        if (alength >= 0 && alength != 4)
            return rd.Fail(n, 0, "MOTIF " + m.id + " has an alphabet of " + std::to_string(alength) +
                                     " letters, not the four of DNA");
        long w = MemeField(lines[i], "w=");
        i++;
        while (i < lines.size() && (w < 0 ? m.rows.empty() || !IsBlank(lines[i]) : (long)m.rows.size() < w)) {
            std::vector<std::string> words = Words(lines[i]);
            if (words.empty() && m.rows.empty()) {
                i++;
                continue;
            }
            double probe;
            if (w < 0 && (words.empty() || !ReadValue(words[0], &probe)))
                break;
            std::array<double, 4> row{};
            if (!rd.Row(words, 0, n, m.rows.size() + 1, lines[i], &row))
                return false;
            m.rows.push_back(row);
            i++;
        }
        if (w >= 0 && (long)m.rows.size() < w) {
            char what[96];
            snprintf(what, sizeof what, "the file ends after %zu of its %ld rows", m.rows.size(), w);
            return rd.Fail(n, 0, what);
        }
        if (m.rows.empty())
            return rd.Fail(n, 0, "MOTIF " + m.id + " has no rows");
        rd.Add(std::move(m));
    }
    return true;
}

bool ReadJaspar(const std::vector<std::string>& lines, Reader& rd)
{
    size_t i = 0;
    while (i < lines.size() && !rd.Full()) {
        const std::string& head = lines[i++];
        if (head.empty() || head[0] != '>')
            continue;
        size_t n = rd.Next();
        MotifMatrix m;
        SetIdAndName(head.substr(1), n, &m);
        std::vector<double> letter[4];
        bool seen[4] = {false, false, false, false};
        for (; i < lines.size() && (lines[i].empty() || lines[i][0] != '>'); i++) {
            std::string line = lines[i];
            if (IsBlank(line))
                continue;
            size_t at = line.find_first_not_of(" \t");
            int b = (int)std::string("ACGT").find((char)toupper((unsigned char)line[at]));
            if (b < 0 || seen[b])
                return rd.Fail(n, 0, "expected one row for each of A, C, G, T; found \"" + line + "\"");
            seen[b] = true;
            std::string body = line.substr(at + 1);
            for (char& c : body)
                if (c == '[' || c == ']')
                    c = ' ';
            for (const std::string& word : Words(body)) {
                double v;
                if (!ReadValue(word, &v))
                    return rd.Fail(n, 0, std::string("row ") + "ACGT"[b] + " holds \"" + word +
                                             "\", not a non-negative number");
                letter[b].push_back(v);
            }
        }
        if (!(seen[0] && seen[1] && seen[2] && seen[3]))
            return rd.Fail(n, 0, "expected one row for each of A, C, G, T");
        size_t w = letter[0].size();
        if (w == 0 || letter[1].size() != w || letter[2].size() != w || letter[3].size() != w)
            return rd.Fail(n, 0, "the rows of A, C, G, T must hold the same number (1 or more) of values");
        for (size_t c = 0; c < w; c++)
            m.rows.push_back({letter[0][c], letter[1][c], letter[2][c], letter[3][c]});
        rd.Add(std::move(m));
    }
    return true;
}

// Column order of a TRANSFAC "P0 A C G T" line: order[b] = the column of
// letter b; false when the four letters are not there.
bool TransfacColumns(const std::vector<std::string>& words, int order[4])
{
    if (words.size() < 5 || (words[0] != "P0" && words[0] != "PO"))
        return false;
    bool seen[4] = {false, false, false, false};
    for (int c = 0; c < 4; c++) {
        int b = words[c + 1].size() == 1 ? (int)std::string("ACGT").find((char)toupper(words[c + 1][0])) : -1;
        if (b < 0 || seen[b])
            return false;
        seen[b] = true;
        order[b] = c;
    }
    return true;
}

bool IsIndex(const std::string& word)
{
    return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

bool ReadTransfac(const std::vector<std::string>& lines, Reader& rd)
{
    MotifMatrix m;
    std::string accession;
    bool named = false;   // the record has an NA line
    int order[4] = {0, 1, 2, 3};
    bool inRows = false;
    auto finish = [&]() {
        if (!m.rows.empty()) {
            if (!named && !accession.empty() && !m.id.empty()) {
                m.name = m.id;   // JASPAR's layout: AC the matrix id, ID the factor name
                m.id = accession;
            }
            if (m.id.empty())
                m.id = accession.empty() ? "matrix_" + std::to_string(rd.Next()) : accession;
            rd.Add(std::move(m));
        }
        m = MotifMatrix();
        accession.clear();
        named = false;
        inRows = false;
    };
    for (size_t i = 0; i < lines.size() && !rd.Full(); i++) {
        std::vector<std::string> words = Words(lines[i]);
        if (words.empty())
            continue;
        std::string value = RestAfterFirstWord(lines[i]);
        if (words[0] == "//") {
            finish();
        } else if (TransfacColumns(words, order)) {
            inRows = true;
        } else if (inRows && IsIndex(words[0])) {
            size_t n = rd.Next();
            std::vector<std::string> numbers(words.begin(), words.end());
            double probe;
            if (numbers.size() == 6 && !ReadValue(numbers[5], &probe))
                numbers.pop_back();   // the consensus letter
            std::array<double, 4> in{}, row{};
            if (!rd.Row(numbers, 1, n, m.rows.size() + 1, lines[i], &in))
                return false;
            for (int b = 0; b < 4; b++)
                row[b] = in[order[b]];
            m.rows.push_back(row);
        } else {
            inRows = false;
            if (words[0] == "ID")
                m.id = value;
            else if (words[0] == "AC")
                accession = value;
            else if (words[0] == "NA") {
                m.name = value;
                named = true;
            }
        }
    }
    if (!rd.Full())
        finish();
    return true;
}

MatrixFormat Recognise(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        if (StartsWith(line, "MEME version"))
            return MatrixFormat::Meme;
    int order[4];
    for (const std::string& line : lines)
        if (TransfacColumns(Words(line), order))
            return MatrixFormat::Transfac;
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].empty() || lines[i][0] != '>')
            continue;
        size_t j = i + 1;
        while (j < lines.size() && IsBlank(lines[j]))
            j++;
        if (j == lines.size())
            break;
        const std::string& row = lines[j];
        size_t at = row.find_first_not_of(" \t");
        if (strchr("ACGTacgt", row[at]) && at + 1 < row.size() && strchr(" \t[", row[at + 1]))
            return MatrixFormat::Jaspar;
        break;
    }
    return MatrixFormat::Own;
}

}  // namespace

const char* MatrixFormatName(MatrixFormat format)
{
    switch (format) {
    case MatrixFormat::Meme: return "MEME";
    case MatrixFormat::Jaspar: return "JASPAR";
    case MatrixFormat::Transfac: return "TRANSFAC";
    case MatrixFormat::Own: break;
    }
    return "weight-matrix";
}

bool ParseMatrixText(const std::string& text, std::vector<MotifMatrix>* out, std::string* reason,
                     MatrixFormat* format, size_t limit)
{
    out->clear();
    std::vector<std::string> lines = SplitLines(text);
    MatrixFormat f = Recognise(lines);
    if (format)
        *format = f;
    Reader rd(out, reason, limit);
    bool ok = false;
    switch (f) {
    case MatrixFormat::Meme: ok = ReadMeme(lines, rd); break;
    case MatrixFormat::Jaspar: ok = ReadJaspar(lines, rd); break;
    case MatrixFormat::Transfac: ok = ReadTransfac(lines, rd); break;
    case MatrixFormat::Own: ok = ReadOwn(lines, rd); break;
    }
    if (ok && out->empty() && limit > 0) {
        *reason = std::string("no matrix found (read as ") + MatrixFormatName(f) +
                  " file; the formats read are this program's own ('>' width, then rows), MEME, JASPAR and "
                  "TRANSFAC)";
        return false;
    }
    return ok;
}

bool ReadRestOfFile(FILE* f, std::string* text)
{
    char buf[65536];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0)
        text->append(buf, got);
    return ferror(f) == 0;
}

bool ReadMatrixFile(const std::string& path, std::vector<MotifMatrix>* out, std::string* reason, size_t limit)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        *reason = std::string("the file cannot be opened (") + strerror(errno) + ")";
        return false;
    }
    std::string text;
    bool failed = !ReadRestOfFile(f, &text);
    fclose(f);
    if (failed) {
        *reason = "the file cannot be read";
        return false;
    }
    return ParseMatrixText(text, out, reason, nullptr, limit);
}

bool RescalePWMRow(const double* in, double* out)
{
    double s = in[0] + in[1] + in[2] + in[3];
    if (!(s > 0.0) || !std::isfinite(s))
        return false;
    for (int l = 0; l < 4; l++) {
        out[l] = (in[l] + 0.0025 * s) / (1.01 * s);
        if (!(out[l] > 0.0) || !std::isfinite(out[l]))
            return false;
    }
    return true;
}
