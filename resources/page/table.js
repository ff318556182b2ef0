// The script of today's page: a search field above the table and headings
// that sort. It stands right after the table's box, needs nothing else and
// leaves the page as it was where it cannot run.
(function () {
  "use strict";
  var box = document.currentScript && document.currentScript.previousElementSibling;
  var table = box && box.querySelector("table.tabulon");
  if (!table || !table.tHead || !("normalize" in String.prototype)) return;
  var heads = table.tHead.rows[0].cells;
  // The page's own order, letter group by letter group.
  var groups = [], rows = [], groupOf = [], byId = {};
  Array.prototype.forEach.call(table.tBodies, function (body) {
    var group = { body: body, head: null, rows: [], shown: 0 };
    Array.prototype.forEach.call(body.rows, function (row) {
      if (row.cells.length && row.cells[0].tagName === "TH") {
        group.head = row;
        byId[row.cells[0].id] = group;
      } else {
        group.rows.push(row);
        groupOf.push(group);
        rows.push(row);
      }
    });
    groups.push(group);
  });
  var total = rows.length;
  var flat = document.createElement("tbody");
  flat.className = "flat";

  // Case and accents count for nothing, in the search as in the sort.
  function fold(text) {
    return text.normalize("NFD").replace(/[\u0300-\u036f]/g, "").toLowerCase();
  }
  function cellText(row, column) {
    var cell = row.cells[column];
    return cell ? cell.textContent : "";
  }
  function thousands(n) {
    return String(n).replace(/\B(?=(\d{3})+(?!\d))/g, ",");
  }

  // The search: each row's text once, the rows shown now, and the text
  // they were found with, so that typing on looks only at those.
  var texts = null, shown = null, last = "";
  function prepare() {
    if (texts) return;
    texts = rows.map(function (row) {
      var parts = [];
      for (var i = 0; i < row.cells.length; i++) parts.push(row.cells[i].textContent);
      return fold(parts.join("\n"));
    });
  }
  var field = document.createElement("input");
  var status = document.createElement("span");
  function search() {
    prepare();
    var text = fold(field.value.trim().replace(/\s+/g, " "));
    var from = shown && last && text.indexOf(last) >= 0 ? shown : null;
    var next = [], i, n;
    groups.forEach(function (g) { g.shown = 0; });
    if (from) {
      for (n = 0; n < from.length; n++) {
        i = from[n];
        if (texts[i].indexOf(text) >= 0) next.push(i);
        else rows[i].hidden = true;
      }
    } else {
      for (i = 0; i < total; i++) {
        var hit = texts[i].indexOf(text) >= 0;
        if (rows[i].hidden === hit) rows[i].hidden = !hit;
        if (hit) next.push(i);
      }
    }
    for (n = 0; n < next.length; n++) groupOf[next[n]].shown++;
    groups.forEach(function (g) {
      var hide = text !== "" && g.shown === 0;
      if (g.body.hidden !== hide) g.body.hidden = hide;
    });
    shown = next;
    last = text;
    var word = total === 1 ? " item" : " items";
    status.textContent = text === "" ? thousands(total) + word : thousands(next.length) + " of " + thousands(total) + word;
  }

  var bar = document.createElement("div");
  bar.className = "tabulon-search";
  var label = document.createElement("label");
  label.textContent = "Search ";
  field.type = "search";
  field.id = "tabulon-search";
  label.htmlFor = field.id;
  status.setAttribute("role", "status");
  status.setAttribute("aria-live", "polite");
  bar.appendChild(label);
  bar.appendChild(field);
  bar.appendChild(document.createTextNode(" "));
  bar.appendChild(status);
  box.parentNode.insertBefore(bar, box);
  field.addEventListener("input", search);
  field.addEventListener("focus", prepare);

  // The sort: by the first column the page's order with its letter groups,
  // by any other all items as one list. Each column's order is found once.
  var column = 0, ascending = true, orders = {};
  function sortKey(text) {
    return fold(text.trim()).replace(/\d+/g, function (digits) {
      return digits.length < 16 ? "0000000000000000".slice(digits.length) + digits : digits;
    });
  }
  function orderOf(c) {
    if (!orders[c]) {
      var keys = rows.map(function (row) { return sortKey(cellText(row, c)); });
      orders[c] = rows.map(function (row, i) { return i; }).sort(function (a, b) {
        return keys[a] < keys[b] ? -1 : keys[a] > keys[b] ? 1 : a - b;
      });
    }
    return orders[c];
  }
  function show(c, up) {
    var bodies = Array.prototype.slice.call(table.tBodies);
    bodies.forEach(function (body) { table.removeChild(body); });
    var whole = document.createDocumentFragment(), i;
    if (c === 0 && up) {
      groups.forEach(function (g) {
        var part = document.createDocumentFragment();
        if (g.head) part.appendChild(g.head);
        for (i = 0; i < g.rows.length; i++) part.appendChild(g.rows[i]);
        g.body.appendChild(part);
        whole.appendChild(g.body);
      });
    } else {
      var order = c === 0 ? null : orderOf(c);
      for (i = 0; i < total; i++) {
        var k = up ? i : total - 1 - i;
        whole.appendChild(rows[order ? order[k] : k]);
      }
      flat.appendChild(whole);
      whole = flat;
    }
    table.appendChild(whole);
    column = c;
    ascending = up;
    for (i = 0; i < heads.length; i++) {
      if (i === c) heads[i].setAttribute("aria-sort", up ? "ascending" : "descending");
      else heads[i].removeAttribute("aria-sort");
    }
  }
  Array.prototype.forEach.call(heads, function (head, c) {
    var button = document.createElement("button");
    button.type = "button";
    while (head.firstChild) button.appendChild(head.firstChild);
    head.appendChild(button);
    button.addEventListener("click", function () {
      show(c, c === column ? !ascending : true);
    });
  });
  if (heads.length) heads[0].setAttribute("aria-sort", "ascending");

  // A link to a letter brings the groups back, and the letter into view.
  document.addEventListener("click", function (event) {
    var link = event.target.closest && event.target.closest("a[href^='#']");
    var group = null;
    try {
      group = link && byId[decodeURIComponent(link.getAttribute("href").slice(1))];
    } catch (e) {}
    if (!group) return;
    if (column !== 0 || !ascending) show(0, true);
    if (group.body.hidden) {
      field.value = "";
      search();
    }
  });
  status.textContent = thousands(total) + (total === 1 ? " item" : " items");
  // The rows' texts are gathered while the visitor reads, not on the first key.
  (window.requestIdleCallback || setTimeout)(prepare);
})();
