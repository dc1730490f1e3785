// The result files of a run and the progress line of the sampling loop.
//
// Output appends the main result file: the command line, the log posterior
// model odds (with -B), the modules of every sequence with the motif sites
// inside them, and per motif its frequency matrix with consensus letters and
// its reported sites. OutputModPr appends, per sequence, the share of
// samples in which each position lay in a module. Both files are opened for
// appending, so runs accumulate. Texts from the input or the command line
// are written verbatim, never as a format string.
//
// A run's two blocks are all or nothing: before the result file is touched
// both files must be appendable, and a block whose writing fails (a full
// disk, a file-size limit) is cut off again, together with the result-file
// block when the companion block fails; the run then stops with "Output file
// error!". Every line is formatted with its allocations done before the
// file is opened, so running out of memory cannot leave a partial block.
//
// A module is a stretch of positions whose module tally rises above half
// the recorded sweeps; a stretch still open at the end of its sequence ends
// at the last letter. No number printed is ever a NaN or an infinity.
// No random draws are made here.
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/Fatal.h"
#include "model/GibbsDP.h"
#include "model/SideFiles.h"

static const char kOutputFileError[] = "Output file error!";

// Where this run's result-file block began, so that OutputModPr can take
// it back when the companion block cannot be written.
static std::string s_ResultPath;
static long long s_ResultStart = -1;

// Opens path for appending; *start is its size before the block (-1 when
// unknown, and then nothing can be taken back).
static FILE* OpenForAppend(const char* path, long long* start)
{
    FILE* f = fopen(path, "a+");
    struct stat st;
    *start = f && fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) ? (long long)st.st_size : -1;
    return f;
}

// Closes a block's file. When any write failed, the file is cut back to
// start (the block is taken back whole); returns 0 or the error number.
static int FinishAppend(FILE* f, long long start)
{
    int err = 0;
    if (fflush(f) != 0 || ferror(f))
        err = errno ? errno : EIO;
    if (err && start >= 0)
        (void)ftruncate(fileno(f), (off_t)start);
    if (fclose(f) != 0 && !err)
        err = errno ? errno : EIO;
    return err;
}

// Takes back this run's result-file block, if it went to path's result file.
static void TakeBackResultBlock(const char* resultPath)
{
    if (s_ResultStart >= 0 && s_ResultPath == resultPath)
        (void)truncate(resultPath, (off_t)s_ResultStart);
    s_ResultStart = -1;
}

[[noreturn]] static void StopOnWriteFailure(const char* path, int err, bool takenBack)
{
    char reason[256];
    snprintf(reason, sizeof reason, "writing the result block failed (%s)%s", strerror(err),
             takenBack ? "; the partial block was removed" : "");
    NoteInputError(path, reason);
    StopOnInputError(kOutputFileError);
}

static const char kLetters[] = "ACGT";

// Appends a C string to a CString in place.
static void Add(CString& text, const char* s)
{
    text.Append(s, (int)strlen(s));
}

static void Add(CString& text, const CString& s)
{
    if (s.GetLength() > 0)
        text.Append(s.m_Data, s.GetLength());
}

static void Write(FILE* f, const CString& s)
{
    if (s.GetLength() > 0)
        fwrite(s.m_Data, 1, s.GetLength(), f);
}

// A value to print: a NaN becomes 0 and an infinity the largest finite
// value of its sign, so the file never holds "nan" or "inf".
static double Printable(double x)
{
    if (std::isnan(x))
        return 0.0;
    if (std::isinf(x))
        return x > 0 ? DBL_MAX : -DBL_MAX;
    return x;
}

// Step 1 of Output: rebuilds width, counts and site number of motif k from
// its reported sites; returns whether the motif is printed (3 or more sites).
static bool RecountMotif(CGibbsDP& g, int k)
{
    const SITEINFO* first = nullptr;
    for (int j = 0; j < g.m_SeqNum && !first; j++)
        first = g.m_BestSites[k][j]->Next;
    if (!first) {
        g.m_SiteNum[k] = 0;
        return false;
    }
    g.SetMotifWidth(k, first->Word.GetLength());
    g.m_SiteNum[k] = g.CalWeightMat(g.m_BestSites[k], g.m_CountMat[k], g.m_Width[k]);
    return g.m_SiteNum[k] > 2;
}

// Appends the module line of segment [start, end] of sequence j; returns
// whether the segment held a labelled position (and so was written).
static bool AddModuleLine(CGibbsDP& g, CString& text, int j, const int* label, int start, int end)
{
    CString entries;
    char buf[64];
    bool any = false;
    for (int p = start; p <= end; p++) {
        if (label[p] == 0)
            continue;
        snprintf(buf, sizeof buf, label[p] > 0 ? "+%d(%d)" : "%d(%d)", label[p], p);
        Add(entries, buf);
        any = true;
    }
    if (!any)
        return false;
    Add(text, g.m_SeqName[j]);
    snprintf(buf, sizeof buf, "\t[%d,%d]\t", start, end);
    Add(text, buf);
    Add(text, entries);
    Add(text, "\n");
    return true;
}

// Step 2 of Output for sequence j: labels the sites of the printed motifs,
// cuts the module tally into segments and appends the printed ones to text;
// returns the number of modules printed.
static int AddModules(CGibbsDP& g, CString& text, int j, int* modTally, int len, const bool* printed)
{
    int* label = new int[len]();
    for (int k = 0; k < g.m_MotifNum; k++) {
        if (!printed[k])
            continue;
        for (SITEINFO* s = g.m_BestSites[k][j]->Next; s; s = s->Next) {
            assert(s->Pos >= 0 && s->Pos < len);
            label[s->Pos] = s->Strand ? k + 1 : -(k + 1);
        }
    }
    int half = (g.m_IterNum - g.m_BurnIn) / 2;
    int shortest = g.m_ModLen / 5;
    int modules = 0;
    int start = 0;
    bool inside = false;
    // A segment ends at its first position below half; one still open at
    // the end of the sequence ends at the last letter.
    for (int p = 0; p <= len; p++) {
        bool last = p == len;
        if (!inside) {
            if (!last && modTally[p] > half) {
                inside = true;
                start = p;
            }
            continue;
        }
        if (!last && !(modTally[p] < half))
            continue;
        inside = false;
        int end = last ? len - 1 : p;
        if (end - start >= shortest && AddModuleLine(g, text, j, label, start, end))
            modules++;
    }
    delete[] label;
    return modules;
}

// The frequency matrix, consensus letters and sites of printed motif k.
static void WriteMotif(CGibbsDP& g, FILE* f, int k)
{
    fprintf(f, "number of sites: %d\n\tA\tC\tG\tT\tCon\n", g.m_SiteNum[k]);
    const int* counts = g.m_CountMat[k];
    for (int c = 0; c < g.m_Width[k]; c++) {
        fprintf(f, "%d\t", c + 1);
        int con = 0;
        for (int b = 0; b < 4; b++) {
            fprintf(f, "%.3lf\t", counts[4 * c + b] / (double)g.m_SiteNum[k]);
            if (counts[4 * c + b] > counts[4 * c + con])
                con = b;
        }
        fprintf(f, "%c\n", kLetters[con]);
    }
    int recorded = g.m_IterNum - g.m_BurnIn;
    for (int j = 0; j < g.m_SeqNum; j++) {
        for (SITEINFO* s = g.m_BestSites[k][j]->Next; s; s = s->Next) {
            Write(f, g.m_SeqName[j]);
            fputs(s->Strand ? "\tf\t" : "\tr\t", f);
            double freq = recorded > 0 ? s->Count / (double)recorded : 0.0;
            fprintf(f, "%d\t\t%.3lf\t\n", s->Pos, freq);
            Write(f, s->Word);
            fputs("\n", f);
        }
    }
}

void CGibbsDP::Output(CString name, int** modTally, int* len)
{
    bool* printed = new bool[m_MotifNum];
    for (int k = 0; k < m_MotifNum; k++)
        printed[k] = RecountMotif(*this, k);
    CString modules;
    int M = 0;
    for (int j = 0; j < m_SeqNum; j++)
        M += AddModules(*this, modules, j, modTally[j], len[j], printed);
    m_ModNum = M;

    // Both files are checked before either is touched.
    CString modPrName = name + "_modpr.txt";
    if (!CheckResultFile(name.m_Data) || !CheckResultFile(modPrName.m_Data))
        StopOnInputError(kOutputFileError);
    long long start;
    FILE* f = OpenForAppend(name.m_Data, &start);
    if (!f) {
        NoteInputError(name.m_Data, "the result file cannot be opened for appending");
        StopOnInputError(kOutputFileError);
    }
    {
        Write(f, m_CmdLine);
        fputs("\n\n", f);
        if (m_CalBF)
            fprintf(f, "\nLog-PMO(K=%d)=%.2lf\n\n", m_MotifNum, Printable(m_LogPMO));
        if (!m_Independent) {
            fprintf(f, "\n\n****************\n# of Modules:%d\n", M);
            Write(f, modules);
        }
        for (int k = 0; k < m_MotifNum; k++) {
            fprintf(f, "\n\n\n**********************\nMotif_%d:\n", k + 1);
            if (printed[k])
                WriteMotif(*this, f, k);
            else
                fputs("No sites found!\n\n", f);
        }
        int err = FinishAppend(f, start);
        if (err)
            StopOnWriteFailure(name.m_Data, err, start >= 0);
        s_ResultPath = name.m_Data;
        s_ResultStart = start;
    }
    delete[] printed;
}

void CGibbsDP::OutputModPr(int** modTally, int* len, int n, CString name)
{
    CString path = name + "_modpr.txt";
    long long start;
    FILE* f = OpenForAppend(path.m_Data, &start);
    if (!f) {
        int err = errno;
        TakeBackResultBlock(name.m_Data);
        StopOnWriteFailure(path.m_Data, err, false);
    }
    fputs("\n**********\n", f);
    for (int j = 0; j < m_SeqNum; j++) {
        Write(f, m_SeqName[j]);
        fprintf(f, "(%d)\n", len[j]);
        for (int p = 0; p < len[j]; p++)
            fprintf(f, "%.3lf\n", n > 0 ? modTally[j][p] / (double)n : 0.0);
    }
    int err = FinishAppend(f, start);
    if (err) {
        TakeBackResultBlock(name.m_Data);
        StopOnWriteFailure(path.m_Data, err, start >= 0);
    }
    s_ResultStart = -1;
}

void CGibbsDP::OutputInfo(int t)
{
    printf("Finish runing iteration %d.\n", t);
    fflush(stdout);   // progress must show at once, also through a pipe
}
