// Sequence input: the FASTA reader and the allocation of every
// per-motif and per-sequence member of the sampler object.
//
// Lines are read whole with getline, whatever their length, so no part of a
// long name ever becomes sequence text and long sequence lines are joined
// without loss. The letters of one sequence are gathered in a growing
// buffer and handed to the CString once, when the sequence ends, so reading
// is linear in the size of the file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/Fatal.h"
#include "base/Random.h"
#include "model/GibbsDP.h"

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

bool CGibbsDP::LoadInputSeq()
{
    if (!m_SeqFile.m_Data || m_SeqFile.m_Length == 0)
        return false;
    FILE* f = fopen(m_SeqFile.m_Data, "r");
    if (!f)
        return false;

    // First pass: count the name lines; reject text before the first name
    // line that holds a letter, and a file whose sequences hold no letter.
    char* line = nullptr;
    size_t cap = 0;
    ssize_t n;
    long long names = 0;
    long long letters = 0;
    bool stray = false;
    while ((n = getline(&line, &cap, f)) >= 0) {
        if (n > 0 && line[0] == '>') {
            names++;
        } else if (names == 0) {
            if (HoldsLetter(line, n))
                stray = true;
        } else {
            letters += CountLetters(line, n);
        }
    }
    bool failed = ferror(f) != 0;
    fclose(f);
    if (failed || stray || names == 0 || letters == 0 || names > 0x7fffffffLL ||
        letters > 0x7fffffffLL) {   // lengths and m_TotalLen are 32-bit ints
        free(line);
        return false;
    }
    const int count = (int)names;

    f = fopen(m_SeqFile.m_Data, "r");
    if (!f) {
        free(line);
        return false;
    }

    m_SeqNum = count;
    m_Seq = new CString[count];
    m_SeqName = new CString[count];
    m_TotalLen = 0;

    // Second pass: names and upper-cased letters.
    int index = -1;
    std::string gathered;
    while ((n = getline(&line, &cap, f)) >= 0) {
        if (n > 0 && line[0] == '>') {
            if (index >= 0)
                FlushSequence(&m_Seq[index], &gathered, &m_TotalLen);
            index++;
            if (index >= count)
                break;   // the file grew between the passes
            ssize_t len = n;
            if (line[len - 1] == '\n')
                len--;
            len = (ssize_t)strnlen(line, (size_t)len);   // a NUL byte ends the name
            CString name;
            name.Append(line, (int)len);
            m_SeqName[index] = name;
        } else if (index >= 0) {
            AppendLetters(line, n, &gathered);
        }
    }
    if (index >= 0 && index < count)
        FlushSequence(&m_Seq[index], &gathered, &m_TotalLen);
    failed = ferror(f) != 0 || index != count - 1;
    fclose(f);
    free(line);
    return !failed && m_TotalLen > 0;   // false: the file changed between the passes
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
        double u = RandOpen();
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
