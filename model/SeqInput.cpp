// Sequence input: the FASTA reader and the allocation of every
// per-motif and per-sequence member of the sampler object.
//
// Lines are read whole with getline, whatever their length, so no part of a
// long name ever becomes sequence text and long sequence lines are joined
// without loss. The letters of one sequence are gathered in a growing
// buffer and handed to the CString once, when the sequence ends, so reading
// is linear in the size of the file.
//
// A file that is refused stops the run with the fixed message; the reason
// (a directory, a compressed or binary file, text before the first name
// line, no letters, more letters than an int holds, ...) is noted for
// standard error first. A file whose first bytes mark it as compressed is
// refused before anything else is read from it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/Fatal.h"
#include "base/Random.h"
#include "model/GibbsDP.h"
#include "model/SideFiles.h"

static const char kSeqFileError[] = "Input sequence file error!";

static bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Appends the upper-cased letters of one sequence line up to its first
// character that is not an ASCII letter; returns how many were kept.
static int AppendLetters(const char* line, ssize_t n, std::string* out)
{
    ssize_t i = 0;
    for (; i < n; i++) {
        char c = line[i];
        if (c >= 'a' && c <= 'z')
            out->push_back((char)(c - 'a' + 'A'));
        else if (c >= 'A' && c <= 'Z')
            out->push_back(c);
        else
            break;
    }
    return (int)i;
}

// Counts the letters a sequence line contributes (same rule as AppendLetters).
static ssize_t CountLetters(const char* line, ssize_t n)
{
    ssize_t i = 0;
    while (i < n && IsAsciiLetter(line[i]))
        i++;
    return i;
}

static bool HoldsLetter(const char* line, ssize_t n)
{
    for (ssize_t i = 0; i < n; i++)
        if (IsAsciiLetter(line[i]))
            return true;
    return false;
}

// Stores the letters gathered for one sequence and empties the buffer.
static void FlushSequence(CString* seq, std::string* letters, int* totalLen)
{
    if (!letters->empty()) {
        seq->Append(letters->data(), (int)letters->size());
        *totalLen += (int)letters->size();
        letters->clear();
    }
}

// True for a byte that plain text never holds: NUL and the other control
// characters except tab, line feed, vertical tab, form feed and carriage
// return. Only used to explain a rejected file.
static bool IsBinaryByte(unsigned char c)
{
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r') || c == 0x7f;
}

static bool HoldsBinaryByte(const char* line, ssize_t n)
{
    for (ssize_t i = 0; i < n; i++)
        if (IsBinaryByte((unsigned char)line[i]))
            return true;
    return false;
}

// What the first pass learns about the file.
struct FASTASCAN {
    long long Names;     // name lines
    long long Letters;   // sequence letters after the first name line
    long long Bytes;     // bytes read
    long long StrayLine; // 1-based line with letters before the first name line, 0 if none
    bool Binary;         // a byte that plain text never holds was seen
    bool ReadError;      // the stream reported an error
};

static void ScanFasta(FILE* f, FASTASCAN* scan)
{
    char* line = nullptr;
    size_t cap = 0;
    ssize_t n;
    long long lineNo = 0;
    *scan = FASTASCAN{0, 0, 0, 0, false, false};
    while ((n = getline(&line, &cap, f)) >= 0) {
        lineNo++;
        scan->Bytes += n;
        if (!scan->Binary && HoldsBinaryByte(line, n))
            scan->Binary = true;
        if (n > 0 && line[0] == '>') {
            scan->Names++;
        } else if (scan->Names == 0) {
            if (scan->StrayLine == 0 && HoldsLetter(line, n))
                scan->StrayLine = lineNo;
        } else {
            scan->Letters += CountLetters(line, n);
        }
    }
    scan->ReadError = ferror(f) != 0;
    free(line);
}

// Notes why the first pass rejects the file; false when it does not. A
// file holding bytes that text never holds is explained as binary, since
// its "name lines" and "letters" mean nothing.
static bool ExplainScan(const char* path, const FASTASCAN& scan)
{
    char reason[256];
    bool bad = scan.ReadError || scan.StrayLine > 0 || scan.Names == 0 || scan.Letters == 0 ||
               scan.Names > 0x7fffffffLL || scan.Letters > 0x7fffffffLL;
    if (!bad)
        return false;
    if (scan.ReadError)
        snprintf(reason, sizeof reason, "the file cannot be read");
    else if (scan.Bytes == 0)
        snprintf(reason, sizeof reason, "the file is empty");
    else if (scan.Binary)
        snprintf(reason, sizeof reason,
                 "the file holds NUL or other control bytes: it is a binary file, not FASTA text "
                 "(or text in UTF-16; save it as plain ASCII)");
    else if (scan.StrayLine > 0)
        snprintf(reason, sizeof reason, "text before the first name line ('>') at line %lld", scan.StrayLine);
    else if (scan.Names == 0)
        snprintf(reason, sizeof reason, "no sequence name line ('>') found");
    else if (scan.Letters == 0)
        snprintf(reason, sizeof reason, "no sequence letters: every record after its name line is empty");
    else if (scan.Names > 0x7fffffffLL)
        snprintf(reason, sizeof reason, "too many sequences (over 2147483647)");
    else
        snprintf(reason, sizeof reason, "too many letters (over 2147483647 in all)");
    NoteInputError(path, reason);
    return true;
}

bool CGibbsDP::LoadInputSeq()
{
    if (!m_SeqFile.m_Data || m_SeqFile.m_Length == 0) {
        NoteInputError("-i", "no sequence file named; give a FASTA file with -i FILE");
        return false;
    }
    const char* path = m_SeqFile.m_Data;
    FILE* f = OpenInputFile(path);
    if (!f)
        return false;

    // First pass: count the name lines; reject text before the first name
    // line that holds a letter, and a file whose sequences hold no letter.
    // Lengths and m_TotalLen are 32-bit ints, so more letters are refused.
    FASTASCAN scan;
    ScanFasta(f, &scan);
    fclose(f);
    if (ExplainScan(path, scan))
        return false;
    const int count = (int)scan.Names;

    f = fopen(path, "r");
    if (!f) {
        NoteInputError(path, "the file could not be opened again for the second reading");
        return false;
    }

    m_SeqNum = count;
    m_Seq = new CString[count];
    m_SeqName = new CString[count];
    m_TotalLen = 0;

    // Second pass: names and upper-cased letters.
    char* line = nullptr;
    size_t cap = 0;
    ssize_t n;
    int index = -1;
    bool grew = false;
    std::string gathered;
    while ((n = getline(&line, &cap, f)) >= 0) {
        if (n > 0 && line[0] == '>') {
            if (index >= 0)
                FlushSequence(&m_Seq[index], &gathered, &m_TotalLen);
            index++;
            if (index >= count) {
                grew = true;
                break;   // the file grew between the passes
            }
            ssize_t len = n;
            if (line[len - 1] == '\n')
                len--;
            len = (ssize_t)strnlen(line, (size_t)len);   // a NUL byte ends the name
            CString name;
            name.Append(line, (int)len);
            m_SeqName[index] = name;
        } else if (index >= 0) {
            // Never more than the first pass counted: a file that grows
            // cannot push a length past the int range.
            if ((long long)gathered.size() + m_TotalLen + CountLetters(line, n) > scan.Letters) {
                grew = true;
                break;
            }
            AppendLetters(line, n, &gathered);
        }
    }
    if (!grew && index >= 0 && index < count)
        FlushSequence(&m_Seq[index], &gathered, &m_TotalLen);
    bool failed = grew || ferror(f) != 0 || index != count - 1 || m_TotalLen <= 0;
    fclose(f);
    free(line);
    if (failed)
        NoteInputError(path, "the file changed while it was being read");
    return !failed;
}

void CGibbsDP::ReadInputSeq()
{
    if (!LoadInputSeq())
        StopOnInputError(kSeqFileError);
}

void CGibbsDP::Initialize()
{
    ReadInputSeq();

    const int K = m_MotifNum;
    const int N = m_SeqNum;

    m_Width = new int[K];
    for (int k = 0; k < K; k++) {
        double u = RandOpen(m_Rng);
        int w = m_MinWidth + (int)((m_MaxWidth - m_MinWidth + 1) * u);
        if (w < m_MinWidth)
            w = m_MinWidth;
        if (w > m_MaxWidth)
            w = m_MaxWidth;
        m_Width[k] = w;
    }

    m_CountMat = new int*[K];
    for (int k = 0; k < K; k++)
        m_CountMat[k] = new int[m_Width[k] * 4]();
    m_SiteNum = new int[K + 1]();

    m_ModInfo = new MODULEINFO[N];
    for (int i = 0; i < N; i++) {
        m_ModInfo[i].ModCount = 0;
        m_ModInfo[i].ModStart = nullptr;
        m_ModInfo[i].LogRatio = 0.0;
        m_ModInfo[i].StepLogRatio = 0.0;
    }

    m_Sites = new SITEINFO**[K];
    m_BestSites = new SITEINFO**[K];
    for (int k = 0; k < K; k++) {
        m_Sites[k] = new SITEINFO*[N];
        m_BestSites[k] = new SITEINFO*[N];
        for (int i = 0; i < N; i++) {
            m_Sites[k][i] = new SITEINFO;
            m_BestSites[k][i] = new SITEINFO;
        }
    }

    m_ModPriorA = 1;
    m_ModPriorB = 1;
    m_MotifPrior = new int[K + 1];
    for (int k = 0; k <= K; k++)
        m_MotifPrior[k] = 1;
    for (int b = 0; b < 4; b++)
        m_BasePrior[b] = 1;

    if (m_Independent) {
        m_FixModLen = true;
        m_ModLen = m_TotalLen;
    }
}
