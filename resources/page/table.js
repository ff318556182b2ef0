// The script of today's page: a search field above the table and headings
// that sort. It stands right after the table's box, needs nothing else and
// leaves the page as it was where it cannot run.
(function () {
  "use strict";
  var box = document.currentScript && document.currentScript.previousElementSibling;
  var table = box && box.querySelector("table.tabulon");
  if (!table || !table.tHead || !("normalize" in String.prototype)) return;
  var heads = table.tHead.rows[0].cells;
  // The items in the page's order, each with its letter group.
  var rows = [], groupOf = [], byId = {};
  Array.prototype.forEach.call(table.tBodies, function (body) {
    var group = { head: null };
    Array.prototype.forEach.call(body.rows, function (row) {
      if (row.cells.length && row.cells[0].tagName === "TH") {
        group.head = row;
        byId[row.cells[0].id] = group;
      } else {
        groupOf.push(group);
        rows.push(row);
      }
    });
  });
  var total = rows.length;

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

  // The search: each row's text once, gathered while the visitor reads.
  var texts = null;
  function prepare() {
    if (texts) return;
    texts = rows.map(function (row) {
      var parts = [];
      for (var i = 0; i < row.cells.length; i++) parts.push(row.cells[i].textContent);
      return fold(parts.join("\n"));
    });
  }

  // What the visitor asked for: the sorting column and way, and the text.
  var column = 0, ascending = true, text = "", orders = {};
  function sortKey(value) {
    return fold(value.trim()).replace(/\d+/g, function (digits) {
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

  // The page's table stays as the browser laid it out; any other order, and
  // any search, is shown in a second table beside it, a part at a time, so
  // that a list of any length answers at once.
  var PART = 250;
  var view = box.cloneNode(false);
  var viewTable = table.cloneNode(false);
  viewTable.appendChild(table.tHead.cloneNode(true));
  view.appendChild(viewTable);
  view.hidden = true;
  box.parentNode.insertBefore(view, box.nextSibling);
  var more = document.createElement("button");
  more.type = "button";
  more.className = "tabulon-more";
  more.hidden = true;
  view.parentNode.insertBefore(more, view.nextSibling);
  var list = [], listed = 0;

  function addPart() {
    var end = Math.min(list.length, listed + PART), grouped = column === 0 && ascending;
    var body = viewTable.tBodies[viewTable.tBodies.length - 1], group = null;
    if (!grouped && !body) {
      body = viewTable.appendChild(document.createElement("tbody"));
      body.className = "flat";
    }
    for (; listed < end; listed++) {
      var i = list[listed];
      // In the page's order the letters stand before their items.
      if (grouped && groupOf[i] !== group) {
        group = groupOf[i];
        if (!body || body.group !== group) {
          body = viewTable.appendChild(document.createElement("tbody"));
          body.group = group;
          if (group.head) {
            var head = group.head.cloneNode(true);
            head.cells[0].removeAttribute("id");
            body.appendChild(head);
          } else {
            body.className = "flat";
          }
        }
      }
      body.appendChild(rows[i].cloneNode(true));
    }
    var left = list.length - listed;
    more.hidden = left === 0;
    more.textContent = "Show " + thousands(Math.min(left, PART)) + " more (" + thousands(left) + " not shown)";
  }

  var field = document.createElement("input");
  var status = document.createElement("span");
  // The page's own table comes back when a letter's link asks for it:
  // bringing it back costs the browser the time of all its rows, too long
  // for a key or a click on a heading, which show the view.
  function show(whole) {
    var pageOrder = whole && column === 0 && ascending && text === "";
    if (!pageOrder) {
      var order = column === 0 ? null : orderOf(column), found = [], k, i;
      if (text !== "") prepare();
      for (k = 0; k < total; k++) {
        i = ascending ? k : total - 1 - k;
        if (order) i = order[i];
        if (text === "" || texts[i].indexOf(text) >= 0) found.push(i);
      }
      list = found;
      listed = 0;
      while (viewTable.tBodies.length) viewTable.removeChild(viewTable.tBodies[0]);
      addPart();
    } else {
      more.hidden = true;
    }
    view.hidden = pageOrder;
    // Out of sight, but the browser keeps what it worked out for it, so
    // that coming back costs next to nothing.
    box.style.contentVisibility = pageOrder ? "" : "hidden";
    var word = total === 1 ? " item" : " items";
    status.textContent = text === "" ? thousands(total) + word : thousands(list.length) + " of " + thousands(total) + word;
    var cells = Array.prototype.concat.call([], Array.prototype.slice.call(heads),
                                            Array.prototype.slice.call(viewTable.tHead.rows[0].cells));
    cells.forEach(function (cell) {
      if (cell.cellIndex === column) cell.setAttribute("aria-sort", ascending ? "ascending" : "descending");
      else cell.removeAttribute("aria-sort");
    });
  }
  more.addEventListener("click", addPart);

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
  field.addEventListener("input", function () {
    text = fold(field.value.trim().replace(/\s+/g, " "));
    show(false);
  });
  field.addEventListener("focus", prepare);

  // Each heading sorts by its column, again the other way.
  [table.tHead, viewTable.tHead].forEach(function (thead) {
    Array.prototype.forEach.call(thead.rows[0].cells, function (head) {
      var button = document.createElement("button");
      button.type = "button";
      while (head.firstChild) button.appendChild(head.firstChild);
      head.appendChild(button);
    });
    thead.addEventListener("click", function (event) {
      var button = event.target.closest && event.target.closest("button");
      if (!button) return;
      var c = button.parentNode.cellIndex;
      ascending = c === column ? !ascending : true;
      column = c;
      show(false);
    });
  });

  // A link to a letter brings the page's order back, and the letter into view.
  document.addEventListener("click", function (event) {
    var link = event.target.closest && event.target.closest("a[href^='#']");
    var group = null;
    try {
      group = link && byId[decodeURIComponent(link.getAttribute("href").slice(1))];
    } catch (e) {}
    if (!group || view.hidden) return;
    column = 0;
    ascending = true;
    field.value = text = "";
    show(true);
  });
  show(true);
  // The rows' texts are gathered while the visitor reads, not on the first key.
  (window.requestIdleCallback || setTimeout)(prepare);
})();
