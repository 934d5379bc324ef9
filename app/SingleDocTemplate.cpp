// SPDX-License-Identifier: GPL-2.0-or-later
#include "SingleDocTemplate.h"

#include "MainFrame.h"
#include "ResourceModule.h"
#include "VellumdeckDoc.h"
#include "VellumdeckView.h"

namespace {

// The first of the document string's fields is the window title.
QString WindowTitleOf(int resourceId)
{
    const QString text = GetResourceModule().LoadString(resourceId).value_or(QString());
    return text.section(QLatin1Char('\n'), 0, 0);
}

}  // namespace

CSingleDocTemplate::CSingleDocTemplate(int resourceId, DocumentFactory document, FrameFactory frame, ViewFactory view)
    : m_resourceId(resourceId), m_makeDocument(std::move(document)), m_makeFrame(std::move(frame)),
      m_makeView(std::move(view))
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    CloseAll();
}

CVellumdeckView* CSingleDocTemplate::View() const
{
    return m_frame ? m_frame->GetActiveView() : nullptr;
}

bool CSingleDocTemplate::CreateFrame()
{
    m_frame = m_makeFrame();
    if (!m_frame || m_frame->OnCreate() != 0) {
        m_frame.reset();
        return false;
    }
    m_frame->setWindowTitle(WindowTitleOf(m_resourceId));
    m_frame->SetView(m_makeView());
    return true;
}

bool CSingleDocTemplate::OpenNewDocument()
{
    if (!m_document)
        m_document = m_makeDocument();
    if (!m_frame && !CreateFrame())
        return false;
    if (!m_document->OnNewDocument())
        return false;
    if (CVellumdeckView* view = View())
        view->OnInitialUpdate();
    return true;
}

void CSingleDocTemplate::CloseAll()
{
    m_frame.reset();
    m_document.reset();
}
