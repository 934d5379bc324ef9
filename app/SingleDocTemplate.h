// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The single-document template: one document, one frame, one view, made the first
// time a document is asked for. A later new document reuses all three and asks the
// view for its initial update again.

#include <functional>
#include <memory>

class CMainFrame;
class CVellumdeckDoc;
class CVellumdeckView;

class CSingleDocTemplate
{
public:
    using DocumentFactory = std::function<std::unique_ptr<CVellumdeckDoc>()>;
    using FrameFactory = std::function<std::unique_ptr<CMainFrame>()>;
    using ViewFactory = std::function<CVellumdeckView*()>;

    CSingleDocTemplate(int resourceId, DocumentFactory document, FrameFactory frame, ViewFactory view);
    ~CSingleDocTemplate();

    // Creates (the first time) and initialises the document, frame and view. False
    // when the frame could not be created or the document refused.
    bool OpenNewDocument();

    int ResourceId() const { return m_resourceId; }
    CVellumdeckDoc* Document() const { return m_document.get(); }
    CMainFrame* Frame() const { return m_frame.get(); }
    CVellumdeckView* View() const;
    // Destroys the frame (and with it the view), then the document.
    void CloseAll();

private:
    bool CreateFrame();

    int m_resourceId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
    std::unique_ptr<CVellumdeckDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
