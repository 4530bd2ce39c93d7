// The page's side of the web front end: the windows as DOM elements, the page's events as a
// queue the WebAssembly side waits on, dialogs, downloads, file pickers and printing.
// Text arrives as UTF-8; the WebAssembly side converts it to and from Windows-1251.

mergeInto(LibraryManager.library, {
  $kelvoPage__postset: 'kelvoPage.init();',
  $kelvoPage: {
    windows: {},
    queue: [],
    waiter: null,
    pointer: [40, 40],
    init: function () {
      Module.kelvoDownloads = [];
      Module.kelvoPush = function (event) {
        if (kelvoPage.waiter) {
          const resolve = kelvoPage.waiter;
          kelvoPage.waiter = null;
          resolve(event);
        } else {
          kelvoPage.queue.push(event);
        }
      };
      Module.kelvoNextEvent = function () {
        if (kelvoPage.queue.length) return Promise.resolve(kelvoPage.queue.shift());
        return new Promise(function (resolve) { kelvoPage.waiter = resolve; });
      };
      if (typeof document === 'undefined') return;
      document.addEventListener('mousemove', function (e) { kelvoPage.pointer = [e.clientX, e.clientY]; });
      document.addEventListener('keydown', kelvoPage.onKey, true);
      window.addEventListener('resize', function () { kelvoPage.layOutAll(); });
    },
    // The window in front: the last one opened.
    top: function () {
      const numbers = Object.keys(kelvoPage.windows).map(Number);
      return numbers.length ? kelvoPage.windows[Math.max.apply(null, numbers)] : null;
    },
    caption: function (text) { return text.replace(/&(.)/g, '$1'); },
    onKey: function (e) {
      const win = kelvoPage.top();
      if (!win || document.querySelector('dialog.kelvo-answer[open]')) return;
      let key = 0;
      if (/^F([0-9]|1[0-2])$/.test(e.key)) key = 0x70 + Number(e.key.slice(1)) - 1;
      else if (e.key.length === 1) key = e.key.toUpperCase().charCodeAt(0);
      else if (e.code && /^Key[A-Z]$/.test(e.code)) key = e.code.charCodeAt(3);
      if (e.ctrlKey && e.code && /^Key[A-Z]$/.test(e.code)) key = e.code.charCodeAt(3);  // Cyrillic layouts
      const modifiers = (e.ctrlKey || e.metaKey ? 1 : 0) | (e.shiftKey ? 2 : 0);
      const focused = document.activeElement && document.activeElement.dataset ? Number(document.activeElement.dataset.control || 0) : 0;
      const inEdit = document.activeElement && document.activeElement.tagName === 'INPUT';
      if (inEdit && modifiers === 1 && 'CVXAZ'.indexOf(String.fromCharCode(key)) >= 0) return;
      let listed = false;
      for (const menu of win.menus || [])
        for (const item of menu.items) if (item.key && item.key === key && item.modifiers === modifiers) listed = true;
      if (!listed) return;
      e.preventDefault();
      e.stopPropagation();
      Module.kelvoPush({window: win.number, kind: 8, id: key, modifiers: modifiers, index: focused});
    },
    layOut: function (win) {
      // Dialog units as the desktop's 8-point font makes them; the result list takes the
      // room the page has beyond the template, the controls under it move down with it.
      const sx = 1.5, sy = 1.625;
      const box = win.box;
      const menuHeight = win.menubar ? win.menubar.offsetHeight : 0;
      const W = Math.round(win.layout.width * sx), H = Math.round(win.layout.height * sy);
      const room = win.number === 1 ? window.innerWidth : W;
      const dx = Math.max(0, room - W - 2), dy = win.number === 1 ? Math.max(0, window.innerHeight - H - menuHeight - 4) : 0;
      box.style.width = (W + dx) + 'px';
      box.style.height = (H + dy) + 'px';
      for (const c of win.layout.controls) {
        const el = win.elements[c.index];
        let x = Math.round(c.x * sx), y = Math.round(c.y * sy), w = Math.round(c.w * sx);
        let h = Math.round((c.kind === 'combo' ? 12 : c.h) * sy);
        if (c.style & 256) w += dx;
        if (c.style & 512) h += dy;
        if (c.style & 1024) x += dx;
        if (c.style & 2048) y += dy;
        if (c.kind === 'status') { x = 0; w = W + dx; y = H + dy - Math.round(10 * sy); h = Math.round(10 * sy); }
        el.style.left = x + 'px'; el.style.top = y + 'px'; el.style.width = w + 'px'; el.style.height = h + 'px';
      }
    },
    layOutAll: function () { for (const n in kelvoPage.windows) kelvoPage.layOut(kelvoPage.windows[n]); },
    drawPage: function (canvas, page) {
      const context = canvas.getContext('2d');
      const ratio = window.devicePixelRatio || 1;
      canvas.width = canvas.clientWidth * ratio;
      canvas.height = canvas.clientHeight * ratio;
      context.fillStyle = '#fff';
      context.fillRect(0, 0, canvas.width, canvas.height);
      if (!page || !page.width) return;
      const scale = Math.min(canvas.width / page.width, canvas.height / page.height);
      for (const b of page.boxes) {
        const grey = Math.round(255 * (1 - b[4]));
        context.fillStyle = 'rgb(' + grey + ',' + grey + ',' + grey + ')';
        context.fillRect(b[0] * scale, b[1] * scale, b[2] * scale, b[3] * scale);
      }
      context.strokeStyle = '#000';
      context.lineWidth = Math.max(1, 0.2 * scale);
      for (const l of page.lines) {
        context.beginPath(); context.moveTo(l[0] * scale, l[1] * scale); context.lineTo(l[2] * scale, l[3] * scale); context.stroke();
      }
      context.fillStyle = '#000';
      const points = [8, 10, 14];
      for (const t of page.texts) {
        context.font = (t[2] === 0 ? '' : 'bold ') + Math.max(6, points[t[2]] * 0.3528 * scale) + 'px sans-serif';
        context.fillText(t[3], t[0] * scale, t[1] * scale);
      }
    },
    svgPage: function (page, landscape) {
      const w = landscape ? 297 : 210, h = landscape ? 210 : 297;
      let svg = '<svg xmlns="http://www.w3.org/2000/svg" class="kelvo-printed" viewBox="0 0 ' + w + ' ' + h + '" width="' + w + 'mm" height="' + h + 'mm">';
      const esc = function (s) { return s.replace(/&/g, '&amp;').replace(/</g, '&lt;'); };
      for (const b of page.boxes) {
        const grey = Math.round(255 * (1 - b[4]));
        svg += '<rect x="' + b[0] + '" y="' + b[1] + '" width="' + b[2] + '" height="' + b[3] + '" fill="rgb(' + grey + ',' + grey + ',' + grey + ')"/>';
      }
      for (const l of page.lines) svg += '<line x1="' + l[0] + '" y1="' + l[1] + '" x2="' + l[2] + '" y2="' + l[3] + '" stroke="#000" stroke-width="0.2"/>';
      const sizes = [2.82, 3.53, 4.94];
      for (const t of page.texts)
        svg += '<text x="' + t[0] + '" y="' + t[1] + '" font-size="' + sizes[t[2]] + '" font-family="sans-serif"' + (t[2] ? ' font-weight="bold"' : '') + '>' + esc(t[3]) + '</text>';
      return svg + '</svg>';
    },
  },

  kelvo_open_window__deps: ['$kelvoPage'],
  kelvo_open_window: function (number, layoutText) {
    if (typeof document === 'undefined') return;
    const layout = JSON.parse(UTF8ToString(layoutText));
    const win = {number: number, layout: layout, elements: [], byId: {}, menus: [], menuKey: ''};
    const push = function (event) { event.window = number; Module.kelvoPush(event); };
    let host;
    if (number === 1) {
      host = document.getElementById('kelvo') || document.body;
      document.title = layout.caption;
    } else {
      host = document.createElement('dialog');
      host.className = 'kelvo-window';
      host.addEventListener('cancel', function (e) { e.preventDefault(); push({kind: 11}); });
      const title = document.createElement('div');
      title.className = 'kelvo-title';
      title.textContent = layout.caption;
      host.appendChild(title);
      document.body.appendChild(host);
    }
    win.host = host;
    win.menubar = document.createElement('nav');
    win.menubar.className = 'kelvo-menubar';
    host.appendChild(win.menubar);
    const box = document.createElement('div');
    box.className = 'kelvo-box';
    host.appendChild(box);
    win.box = box;
    layout.controls.forEach(function (c, index) {
      c.index = index;
      let el;
      if (c.kind === 'button') {
        el = document.createElement('button');
        el.textContent = kelvoPage.caption(c.caption);
        el.addEventListener('click', function () { push({kind: 4, id: c.id}); });
      } else if (c.kind === 'combo') {
        el = document.createElement('select');
        el.addEventListener('change', function () { push({kind: 1, id: c.id, index: el.selectedIndex}); });
      } else if (c.kind === 'list') {
        el = document.createElement('div');
        el.tabIndex = 0;
        const table = document.createElement('table');
        table.appendChild(document.createElement('thead'));
        table.appendChild(document.createElement('tbody'));
        el.appendChild(table);
        const rowOf = function (e) {
          const tr = e.target.closest('tbody tr');
          return tr ? Array.prototype.indexOf.call(tr.parentNode.children, tr) : -1;
        };
        el.addEventListener('click', function (e) {
          const row = rowOf(e);
          push(row >= 0 ? {kind: 2, id: c.id, index: row, modifiers: e.ctrlKey ? 1 : 0} : {kind: 12, id: c.id});
        });
        el.addEventListener('contextmenu', function (e) {
          e.preventDefault();
          const row = rowOf(e);
          if (row >= 0) push({kind: 2, id: c.id, index: row});
          push({kind: 9, id: c.id});
        });
        el.addEventListener('keydown', function (e) {
          if (e.key !== 'ArrowDown' && e.key !== 'ArrowUp') return;
          e.preventDefault();
          const selected = win.byId[c.id].selected || [];
          const from = selected.length ? selected[0] : -1;
          const rows = el.querySelectorAll('tbody tr').length;
          const to = Math.max(0, Math.min(rows - 1, from + (e.key === 'ArrowDown' ? 1 : -1)));
          if (rows) push({kind: 2, id: c.id, index: to});
        });
      } else if (c.kind === 'edit') {
        el = document.createElement('input');
        el.type = 'text';
        el.addEventListener('input', function () { push({kind: 3, id: c.id, text: el.value}); });
        el.addEventListener('keydown', function (e) {
          if (e.key === 'Enter') { e.preventDefault(); push({kind: 5, id: c.id}); }
          if (e.key === 'Escape') { e.preventDefault(); push({kind: 6, id: c.id}); }
        });
      } else if (c.kind === 'picture') {
        el = document.createElement('canvas');
      } else {
        el = document.createElement('div');
        el.textContent = c.caption;
      }
      el.classList.add('kelvo-' + c.kind);
      if (c.id >= 0) el.dataset.control = String(c.id);
      if (c.tip) el.title = c.tip;
      win.elements.push(el);
      box.appendChild(el);
    });
    kelvoPage.windows[number] = win;
    if (number !== 1) host.showModal();
    kelvoPage.layOut(win);
  },

  kelvo_render__deps: ['$kelvoPage'],
  kelvo_render: function (number, stateText) {
    const win = kelvoPage.windows[number];
    if (!win) return;
    const state = JSON.parse(UTF8ToString(stateText));
    const menuKey = JSON.stringify(state.menus);
    if (menuKey !== win.menuKey) {
      win.menuKey = menuKey;
      win.menus = state.menus;
      win.menubar.textContent = '';
      for (const menu of state.menus) {
        const top = document.createElement('div');
        top.className = 'kelvo-menu';
        const button = document.createElement('button');
        button.textContent = kelvoPage.caption(menu.caption);
        const list = document.createElement('div');
        list.className = 'kelvo-menu-items';
        for (const item of menu.items) {
          if (item.command === 0) { list.appendChild(document.createElement('hr')); continue; }
          const entry = document.createElement('button');
          entry.dataset.command = String(item.command);
          entry.disabled = !item.enabled;
          entry.innerHTML = '<span></span><kbd></kbd>';
          entry.firstChild.textContent = kelvoPage.caption(item.caption);
          entry.lastChild.textContent = item.keys;
          entry.addEventListener('click', function () {
            top.classList.remove('open');
            Module.kelvoPush({window: number, kind: 7, id: item.command});
          });
          list.appendChild(entry);
        }
        button.addEventListener('click', function () {
          const wasOpen = top.classList.contains('open');
          for (const other of win.menubar.querySelectorAll('.kelvo-menu')) other.classList.remove('open');
          if (!wasOpen) top.classList.add('open');
        });
        top.appendChild(button);
        top.appendChild(list);
        win.menubar.appendChild(top);
      }
      kelvoPage.layOut(win);
    }
    for (const c of state.controls) {
      const index = win.layout.controls.findIndex(function (t) { return t.id === c.id; });
      if (index < 0) continue;
      const el = win.elements[index];
      const kind = win.layout.controls[index].kind;
      win.byId[c.id] = c;
      if (kind === 'list') el.classList.toggle('disabled', !c.enabled);
      else el.disabled = !c.enabled;
      if (kind === 'combo') {
        const texts = c.entries.join('\u0001');
        if (el.dataset.entries !== texts) {
          el.dataset.entries = texts;
          el.textContent = '';
          for (const entry of c.entries) { const o = document.createElement('option'); o.textContent = entry; el.appendChild(o); }
        }
        el.selectedIndex = c.selection;
      } else if (kind === 'list') {
        const thead = el.querySelector('thead'), tbody = el.querySelector('tbody');
        const heads = JSON.stringify(c.columns);
        if (el.dataset.columns !== heads) {
          el.dataset.columns = heads;
          thead.innerHTML = '';
          const tr = document.createElement('tr');
          for (const column of c.columns) {
            const th = document.createElement('th'); th.textContent = column[0]; th.style.width = (column[1] * 1.0) + 'px'; tr.appendChild(th);
          }
          thead.appendChild(tr);
        }
        const rows = JSON.stringify(c.rows);
        if (el.dataset.rows !== rows) {
          el.dataset.rows = rows;
          const fragment = document.createDocumentFragment();
          for (const row of c.rows) {
            const tr = document.createElement('tr');
            for (const cell of row) { const td = document.createElement('td'); td.textContent = cell; tr.appendChild(td); }
            fragment.appendChild(tr);
          }
          tbody.textContent = '';
          tbody.appendChild(fragment);
        }
        const trs = tbody.children;
        for (let r = 0; r < trs.length; ++r) { trs[r].className = ''; trs[r].removeAttribute('title'); }
        for (const m of c.marked) if (trs[m[0]]) { trs[m[0]].classList.add('mark-' + m[1]); if (m[2]) trs[m[0]].title = m[2]; }
        for (const s of c.selected) if (trs[s]) { trs[s].classList.add('selected'); }
        if (c.selected.length && trs[c.selected[0]] && win.scrolledTo !== c.selected[0]) {
          win.scrolledTo = c.selected[0];
          trs[c.selected[0]].scrollIntoView({block: 'nearest'});
        }
      } else if (kind === 'picture') {
        kelvoPage.drawPage(el, c.page);
      } else if (kind === 'edit') {
        if (el.value !== c.text) el.value = c.text;
      } else if (kind === 'button') {
        el.textContent = kelvoPage.caption(c.text);
      } else {
        el.textContent = c.text;
      }
    }
    if (state.focus !== win.focus) {
      win.focus = state.focus;
      const el = win.box.querySelector('[data-control="' + state.focus + '"]');
      if (el && document.activeElement !== el) el.focus();
    }
  },

  kelvo_close_window__deps: ['$kelvoPage'],
  kelvo_close_window: function (number) {
    const win = kelvoPage.windows[number];
    if (!win) return;
    delete kelvoPage.windows[number];
    if (number !== 1) { win.host.close(); win.host.remove(); }
    else win.box.classList.add('ended');
  },

  kelvo_show_dialog__deps: ['$kelvoPage'],
  kelvo_show_dialog: function (number, dialogText) {
    const request = JSON.parse(UTF8ToString(dialogText));
    const answer = function (index) { dialog.close(); dialog.remove(); Module.kelvoPush({window: number, kind: 10, index: index}); };
    const dialog = document.createElement('dialog');
    dialog.className = 'kelvo-answer kelvo-' + request.kind;
    if (request.kind === 'popup') {
      dialog.addEventListener('click', function (e) { if (e.target === dialog) answer(-1); });
      request.items.forEach(function (item, index) {
        if (item.separator) { dialog.appendChild(document.createElement('hr')); return; }
        const entry = document.createElement('button');
        entry.disabled = !item.enabled;
        entry.innerHTML = '<span></span><kbd></kbd>';
        entry.firstChild.textContent = kelvoPage.caption(item.caption);
        entry.lastChild.textContent = item.keys;
        entry.addEventListener('click', function () { answer(index); });
        dialog.appendChild(entry);
      });
      dialog.style.left = kelvoPage.pointer[0] + 'px';
      dialog.style.top = kelvoPage.pointer[1] + 'px';
    } else {
      const text = document.createElement('p');
      text.textContent = request.text;
      dialog.appendChild(text);
      const buttons = document.createElement('div');
      buttons.className = 'kelvo-buttons';
      const captions = request.kind === 'question' ? ['Да', 'Нет', 'Отмена'] : ['OK'];
      captions.forEach(function (caption, index) {
        const b = document.createElement('button');
        b.textContent = caption;
        b.dataset.answer = String(index);
        b.addEventListener('click', function () { answer(index); });
        buttons.appendChild(b);
      });
      dialog.appendChild(buttons);
    }
    dialog.addEventListener('cancel', function (e) { e.preventDefault(); answer(request.kind === 'question' ? 2 : request.kind === 'popup' ? -1 : 0); });
    document.body.appendChild(dialog);
    dialog.showModal();
  },

  kelvo_download: function (pathText, nameText) {
    const path = UTF8ToString(pathText), name = UTF8ToString(nameText);
    const bytes = FS.readFile(path);
    Module.kelvoDownloads.push({name: name, bytes: Array.from(bytes)});
    if (typeof document === 'undefined') return;
    const url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    const a = document.createElement('a');
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
  },

  kelvo_set_clipboard: function (text) {
    const value = UTF8ToString(text);
    Module.kelvoClipboard = value;
    if (typeof navigator !== 'undefined' && navigator.clipboard) navigator.clipboard.writeText(value).catch(function () {});
  },

  kelvo_open_document: function (pathText) {
    const path = UTF8ToString(pathText);
    if (typeof window !== 'undefined') window.open(path.indexOf('manual') >= 0 ? 'manual/index.html' : path, '_blank');
  },

  kelvo_print__deps: ['$kelvoPage'],
  kelvo_print: function (pagesText) {
    const request = JSON.parse(UTF8ToString(pagesText));
    let area = document.getElementById('kelvo-print');
    if (!area) { area = document.createElement('div'); area.id = 'kelvo-print'; document.body.appendChild(area); }
    area.innerHTML = '<style>@page { size: A4 ' + (request.landscape ? 'landscape' : 'portrait') + '; margin: 0 }</style>' +
                     request.pages.map(function (p) { return kelvoPage.svgPage(p, request.landscape); }).join('');
    Module.kelvoPrinted = request.pages.length;
    setTimeout(function () { window.print(); }, 0);
  },

  // A file or a folder chosen in the page, copied into the page's own files (/user, kept
  // in the browser's storage): the answer's text is its path there, empty when cancelled.
  kelvo_pick_files: function (number, folder, acceptText) {
    const accept = UTF8ToString(acceptText);
    const input = document.createElement('input');
    input.type = 'file';
    if (folder) { input.webkitdirectory = true; input.multiple = true; } else if (accept) input.accept = accept;
    let answered = false;
    const answer = function (path) {
      if (answered) return;
      answered = true;
      Module.kelvoPush({window: number, kind: 10, index: path ? 0 : -1, text: path});
    };
    input.addEventListener('cancel', function () { answer(''); });
    input.addEventListener('change', function () {
      const files = Array.from(input.files || []);
      if (!files.length) { answer(''); return; }
      Promise.all(files.map(function (f) { return f.arrayBuffer().then(function (b) { return [f, new Uint8Array(b)]; }); }))
        .then(function (read) {
          let root = '';
          for (const pair of read) {
            // No destructuring here: Emscripten 3.1.6's minifier drops it.
            const file = pair[0], bytes = pair[1];
            const relative = folder ? (file.webkitRelativePath || file.name) : 'files/' + file.name;
            const path = '/user/' + relative;
            const parts = path.split('/');
            for (let i = 2; i < parts.length; ++i) { try { FS.mkdir(parts.slice(0, i).join('/')); } catch (e) {} }
            FS.writeFile(path, bytes);
            if (!root) root = folder ? '/user/' + relative.split('/')[0] : path;
          }
          if (Module.kelvoSync) Module.kelvoSync();
          answer(root);
        });
    });
    document.body.appendChild(input);
    input.click();
    input.remove();
  },
});
