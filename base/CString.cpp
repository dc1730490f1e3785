// CString operations. Substring operations clamp exactly as documented in
// the header: Left/Right lower n to the length, Mid clamps its start and
// falls back to the whole string when the window runs past the end, and
// negative counts give the empty string.
#include "base/CString.h"

#include <cstring>

CString::CString() : m_Data(nullptr), m_Length(0) {}

CString::CString(const CString& other) : m_Data(nullptr), m_Length(0)
{
    Assign(other.m_Data ? other.m_Data : "", other.m_Length);
}

CString::CString(char ch) : m_Data(nullptr), m_Length(0)
{
    Assign(&ch, 1);
}

CString::~CString()
{
    delete[] m_Data;
    m_Data = nullptr;
}

void CString::Assign(const char* s, int n)
{
    char* buf = new char[n + 1];
    if (n > 0)
        memcpy(buf, s, n);
    buf[n] = '\0';
    delete[] m_Data;
    m_Data = buf;
    m_Length = n;
}

CString& CString::operator=(const CString& other)
{
    if (this == &other)
        return *this;
    Assign(other.m_Data ? other.m_Data : "", other.m_Length);
    return *this;
}

CString& CString::operator=(const char* s)
{
    Assign(s, (int)strlen(s));
    return *this;
}

CString& CString::operator=(char ch)
{
    Assign(&ch, 1);
    return *this;
}

CString CString::operator+(const CString& other) const
{
    CString out(*this);
    out.Append(other.m_Data ? other.m_Data : "", other.m_Length);
    return out;
}

CString CString::operator+(const char* s) const
{
    CString out(*this);
    out.Append(s, (int)strlen(s));
    return out;
}

void CString::Append(const char* s, int n)
{
    if (n <= 0 && m_Data)
        return;
    char* buf = new char[m_Length + n + 1];
    if (m_Length > 0)
        memcpy(buf, m_Data, m_Length);
    if (n > 0)
        memcpy(buf + m_Length, s, n);
    buf[m_Length + n] = '\0';
    delete[] m_Data;
    m_Data = buf;
    m_Length += n > 0 ? n : 0;
}

bool CString::operator==(const CString& other) const
{
    if (m_Length != other.m_Length)
        return false;
    for (int i = 0; i < m_Length; i++)
        if (m_Data[i] != other.m_Data[i])
            return false;
    return true;
}

void CString::SetAt(int i, char ch)
{
    if (i >= 0 && i < m_Length)
        m_Data[i] = ch;
}

CString CString::Left(int n) const
{
    CString out;
    if (n > m_Length)
        n = m_Length;
    if (n < 0)
        n = 0;
    out.Assign(m_Data ? m_Data : "", n);
    return out;
}

CString CString::Right(int n) const
{
    CString out;
    if (n > m_Length)
        n = m_Length;
    if (n < 0)
        n = 0;
    out.Assign(m_Data ? m_Data + m_Length - n : "", n);
    return out;
}

CString CString::Mid(int start, int n) const
{
    CString out;
    if (n < 0 || m_Length == 0) {
        out.Assign("", 0);
        return out;
    }
    int s = start < 0 ? 0 : start;
    if (s >= m_Length)
        s = m_Length - 1;
    if (s + n > m_Length)
        out.Assign(m_Data, m_Length);
    else
        out.Assign(m_Data + s, n);
    return out;
}

void CString::Mid(int start, int n, CString* out) const
{
    out->Assign(m_Data + start, n);
}

int CString::Find(const CString& sub, int start) const
{
    if (start + sub.m_Length > m_Length)
        return -1;
    for (int o = 0; o <= m_Length - sub.m_Length - start; o++) {
        int at = start + o;
        if (sub.m_Length == 0 || memcmp(m_Data + at, sub.m_Data, sub.m_Length) == 0)
            return at;
    }
    return -1;
}

int CString::Find(const char* s, int start) const
{
    CString temp;
    temp = s;
    return Find(temp, start);
}
