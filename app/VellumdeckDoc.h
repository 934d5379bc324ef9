// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The document of the single-document template. Everything the user works with lives
// in the main view, and nothing is stored or loaded through the document, so it holds
// nothing: the template only asks it to start a new document.

class CVellumdeckDoc
{
public:
    virtual ~CVellumdeckDoc() = default;

    virtual bool OnNewDocument();
};
