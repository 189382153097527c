// The shown document's forms, elements and body style, read and written for the shell. C++ appends
// one "return <function>(...);" whose arguments are variables that the call binds, never text
// pasted into the script. Each function returns text; a failure is thrown as an Error whose message
// the shell reads.

function formAt(form) {
    const f = document.forms[form];
    if (!f) throw new Error('there is no form ' + form);
    return f;
}

function elementAt(form, element) {
    const e = formAt(form).elements[element];
    if (!e) throw new Error('form ' + form + ' has no element ' + element);
    return e;
}

function formCount() {
    return String(document.forms.length);
}

function elementCount(form) {
    return String(formAt(form).elements.length);
}

function elementTagName(form, element) {
    return String(elementAt(form, element).tagName);
}

function elementType(form, element) {
    const e = elementAt(form, element);
    return e.type == null ? '' : String(e.type);
}

function elementDisabled(form, element) {
    return elementAt(form, element).disabled ? 'True' : 'False';
}

function elementStyleDisplay(form, element) {
    const e = elementAt(form, element);
    return e.style ? String(e.style.display) : '';
}

function focusElement(form, element) {
    const e = elementAt(form, element);
    e.focus();
    if (document.activeElement !== e) throw new Error('the element cannot take the focus');
    return '';
}

// Writes the body style's property whose name is name regardless of case. An image or a text shown
// as a document has no body of its own.
function setBodyStyle(name, value) {
    const type = String(document.contentType).toLowerCase();
    const body = document.body;
    if (!body || (type !== 'text/html' && type !== 'application/xhtml+xml')) throw new Error('the document has no body');
    const style = body.style;
    const wanted = name.toLowerCase();
    let property = null;
    for (const candidate in style) {
        if (candidate.toLowerCase() === wanted) { property = candidate; break; }
    }
    if (property === null) throw new Error('the body style has no property ' + name);
    style[property] = value;
    return '';
}

// Writes each [name, value] of styles in order; the first failure ends the writes.
function setBodyStyles(styles) {
    for (const [name, value] of styles) setBodyStyle(name, value);
    return '';
}
