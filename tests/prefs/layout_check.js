// Reads the layout of a rendered preferences page from the browser and reports,
// per tab, how many controls it checked and every fault it saw: a control that
// is not visible, lies outside its tab, overlaps another control, or whose
// text does not fit. The report goes into a pre element of id layout-report,
// one line each.
(function () {
    'use strict';
    const lines = [];
    const slack = 0.5;  // sub-pixel rounding of the browser's boxes

    const name = (el) => el.dataset.kind + (el.dataset.id ? ' ' + el.dataset.id : '') +
        (el.textContent.trim() ? ' "' + el.textContent.trim().slice(0, 30) + '"' : '');
    const inside = (a, b) => a.left >= b.left - slack && a.top >= b.top - slack &&
        a.right <= b.right + slack && a.bottom <= b.bottom + slack;
    const overlap = (a, b) => Math.min(a.right, b.right) - Math.max(a.left, b.left) > slack &&
        Math.min(a.bottom, b.bottom) - Math.max(a.top, b.top) > slack;
    const shown = (el) => {
        const style = getComputedStyle(el);
        const box = el.getBoundingClientRect();
        return style.display !== 'none' && style.visibility === 'visible' &&
            Number(style.opacity) > 0 && box.width > 0 && box.height > 0;
    };
    // The parts of a control that carry its text, each of which has to lie
    // wholly within the control.
    const text_parts = (el) => {
        switch (el.dataset.kind) {
            case 'check box': return [el.querySelector('.box'), el.querySelector('.text')];
            case 'group box': return [el.querySelector('.legend')];
            case 'push button': case 'label': return [el];
            case 'tab control': return Array.from(el.querySelectorAll('.tab'));
            default: return [];  // lists and edits scroll their text
        }
    };
    const text_fits = (el, part) => {
        if (part === el)  // the text flows inside the control's own box
            return el.scrollWidth <= el.clientWidth + 1 && el.scrollHeight <= el.clientHeight + 1;
        return inside(part.getBoundingClientRect(), el.getBoundingClientRect()) &&
            part.scrollWidth <= Math.ceil(part.getBoundingClientRect().width) + 1;
    };

    for (const section of document.querySelectorAll('section')) {
        const tab = section.querySelector('h2').textContent;
        const root = section.querySelector('.w.dialog.root');
        const tabs = root.querySelector(':scope > .w.tabs');
        const page = root.querySelector(':scope > .w.dialog');
        const fault = (text) => lines.push('fault: ' + tab + ': ' + text);
        if (!tabs || !page) {
            fault('no tab control or no tab page drawn');
            continue;
        }
        const body = tabs.querySelector('.body').getBoundingClientRect();
        if (!inside(page.getBoundingClientRect(), body))
            fault('the tab page lies outside the tab control');
        const controls = Array.from(page.querySelectorAll(':scope > .w'));
        for (const el of [tabs].concat(controls)) {
            if (!shown(el))
                fault(name(el) + ' is not visible');
            for (const part of text_parts(el)) {
                if (part && !text_fits(el, part))
                    fault(name(el) + ': its text does not fit');
            }
        }
        const boxes = controls.map((el) => el.getBoundingClientRect());
        controls.forEach((el, i) => {
            if (!inside(boxes[i], body) || !inside(boxes[i], page.getBoundingClientRect()))
                fault(name(el) + ' lies outside its tab');
        });
        // A group box frames the controls within it; anything else that meets
        // another control, or a frame's edge, overlaps it.
        for (let i = 0; i < controls.length; ++i) {
            for (let j = i + 1; j < controls.length; ++j) {
                if (!overlap(boxes[i], boxes[j]))
                    continue;
                const group_i = controls[i].dataset.kind === 'group box';
                const group_j = controls[j].dataset.kind === 'group box';
                if ((group_i && inside(boxes[j], boxes[i])) || (group_j && inside(boxes[i], boxes[j])))
                    continue;
                fault(name(controls[i]) + ' overlaps ' + name(controls[j]));
            }
        }
        lines.push('tab ' + tab + ': ' + controls.length + ' controls');
    }
    const report = document.createElement('pre');
    report.id = 'layout-report';
    report.textContent = '\n' + lines.join('\n') + '\n';
    document.body.appendChild(report);
})();
