// CString: the system's own text value type.
//
// Holds sequence letters, names, file names, site words and file lines.
// Every change of content allocates a fresh buffer of exactly length + 1
// bytes; there is no spare capacity and no sharing. A default-constructed
// string is "unset" (m_Data null) and behaves as the empty string everywhere.
// Invariant: when m_Data is set, m_Data[m_Length] is the only NUL byte.
#ifndef RUZARAVO_BASE_CSTRING_H
#define RUZARAVO_BASE_CSTRING_H

class CString {
public:
    char* m_Data;   // heap buffer of m_Length + 1 bytes ending in NUL; null when unset
    int m_Length;   // number of characters, NUL not counted

    CString();
    CString(const CString& other);
    CString(char ch);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(const char* s);
    CString& operator=(char ch);

    CString operator+(const CString& other) const;
    CString operator+(const char* s) const;
    bool operator==(const CString& other) const;
    char operator[](int i) const { return m_Data[i]; }

    int GetLength() const { return m_Length; }
    void SetAt(int i, char ch);

    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int start, int n) const;
    void Mid(int start, int n, CString* out) const;

    int Find(const CString& sub, int start) const;
    int Find(const CString& sub) const { return Find(sub, 0); }
    int Find(const char* s, int start) const;
    int Find(const char* s) const { return Find(s, 0); }

    // Appends n characters from s in place (one reallocation). Used by the
    // readers so that joining a long sequence does not copy it per line.
    void Append(const char* s, int n);

private:
    // Replaces the content by the n characters at s (s need not be NUL-terminated).
    void Assign(const char* s, int n);
};

#endif
