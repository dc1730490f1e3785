// Motif matrices from the files users have: this program's own weight-matrix
// format, MEME (minimal motif format and the full text output), JASPAR and
// TRANSFAC, recognised from the content, not the file name.
//
// Own format: a line '>' directly followed by the width as a decimal number
// (then, optionally, a name), followed by that many rows of four numbers for
// A, C, G, T; lines before the first '>' and between a matrix's last row and
// the next '>' are ignored.
// MEME: "MOTIF id [name]" followed (possibly after other lines, as in the full
// output) by "letter-probability matrix: alength= 4 w= W ..." and W rows.
// JASPAR: ">id name" followed by four rows "A [ n1 n2 ... ]" (C, G, T).
// TRANSFAC: records with "ID"/"AC"/"NA" lines, a "P0 A C G T" header line and
// numbered rows "01 n n n n [letter]", ended by "//". The id is ID and the
// name NA; a record with AC and ID but no NA line is JASPAR's layout (AC
// MA0049.1, ID hb), read as id AC and name ID. Without ID the id is AC.
//
// A row of a matrix must hold exactly four numbers (JASPAR: one number per
// column in each letter row), separated by tabs or spaces, each a whole
// finite non-negative number. Values are kept as written: probabilities or
// counts; callers normalise.
#ifndef RUZARAVO_IO_MATRIXFILE_H
#define RUZARAVO_IO_MATRIXFILE_H

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

enum class MatrixFormat { Own, Meme, Jaspar, Transfac };

struct MotifMatrix {
    std::string id;                          // identifier as the file gives it
    std::string name;                        // further name text, may be empty
    std::vector<std::array<double, 4>> rows; // one row per column: A, C, G, T
    // "id name", or the id alone when there is no name.
    std::string Label() const { return name.empty() ? id : id + " " + name; }
};

// Reads the matrices of text (a whole file's content), at most limit of them
// (later ones are not examined). Returns false with a reason naming the
// matrix and row when a matrix cannot be read or no matrix is found.
bool ParseMatrixText(const std::string& text, std::vector<MotifMatrix>* out, std::string* reason,
                     MatrixFormat* format = nullptr, size_t limit = (size_t)-1);

// Appends the rest of an open file to *text; false on a read error.
bool ReadRestOfFile(FILE* f, std::string* text);

// Reads the file at path with ParseMatrixText; a file that cannot be read
// gives false with the reason.
bool ReadMatrixFile(const std::string& path, std::vector<MotifMatrix>* out, std::string* reason,
                    size_t limit = (size_t)-1);

// Widths the checks accept for a given matrix (-M).
const int kPWMMinWidth = 5;
const int kPWMMaxWidth = 49;

// Rescales one row of a given matrix with the 0.25 % pseudo-count: s = the
// sum of the four values, each value v becomes (v + 0.0025 s) / (1.01 s).
// False (out unspecified) when the result would not be four positive
// finite probabilities: a sum that is not a positive finite number, or a
// value so negative that the pseudo-count does not lift it above 0. The
// check of -M and the sampler's seeding use this one rule.
bool RescalePWMRow(const double* in, double* out);

// The format's name for messages: "weight-matrix", "MEME", "JASPAR", "TRANSFAC".
const char* MatrixFormatName(MatrixFormat format);

#endif
