#pragma once
// The document of the single-document template. Everything the user works with lives
// in the main view, so it holds nothing but the modified flag; storing and loading
// do nothing.

class CVellumdeckDoc
{
public:
    virtual ~CVellumdeckDoc() = default;

    virtual bool OnNewDocument();
    // Storing or loading the document: nothing to store.
    virtual void Serialize(bool storing);
    virtual bool IsModified() const { return m_modified; }
    virtual void SetModifiedFlag(bool modified = true) { m_modified = modified; }

private:
    bool m_modified = false;
};
